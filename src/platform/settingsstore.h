#pragma once

// The settings seam: per-user values by section and key, the INI file behind them, numeric readings.

#include <QString>

namespace gx {

// The per-user settings store: string values by section and key, read with a default.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString value(const QString& section, const QString& key,
                          const QString& defaultValue = QString()) const = 0;
    virtual void setValue(const QString& section, const QString& key, const QString& value) = 0;

    // The program's own keys live in section "Settings".
    QString setting(const QString& key, const QString& defaultValue = QString()) const
    {
        return value(QStringLiteral("Settings"), key, defaultValue);
    }
    void setSetting(const QString& key, const QString& v) { setValue(QStringLiteral("Settings"), key, v); }
};

// Stored with QSettings as an INI file per user (application "GX520"); on Linux
// under $XDG_CONFIG_HOME/GX520/GX520.ini.
class QtSettingsStore final : public SettingsStore {
public:
    QString value(const QString& section, const QString& key,
                  const QString& defaultValue = QString()) const override;
    void setValue(const QString& section, const QString& key, const QString& value) override;
};

// The leading decimal number of a setting: "3" gives 3, "" or text gives 0.
int numericValue(const QString& text);

} // namespace gx
