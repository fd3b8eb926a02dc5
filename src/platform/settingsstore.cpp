// Settings kept with QSettings in the user's INI file, and the leading number of a setting's text.

#include "settingsstore.h"

#include <QSettings>

namespace gx {


QString QtSettingsStore::value(const QString& section, const QString& key,
                               const QString& defaultValue) const
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("GX520"),
                QStringLiteral("GX520"));
    s.beginGroup(section);
    return s.value(key, defaultValue).toString();
}

void QtSettingsStore::setValue(const QString& section, const QString& key, const QString& value)
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("GX520"),
                QStringLiteral("GX520"));
    s.beginGroup(section);
    s.setValue(key, value);
    s.sync();
}

int numericValue(const QString& text)
{
    // Leading blanks are skipped, then an optional sign and digits.
    int i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    long long v = 0;
    while (i < text.size() && text[i].isDigit() && v < 100000000) {
        v = v * 10 + text[i].digitValue();
        ++i;
    }
    return int(negative ? -v : v);
}

} // namespace gx
