#pragma once

// The desktop seam: the beep, the web browser, the system-information tool and tray notifications.

#include <QString>
#include <QUrl>

#include <memory>

class QSystemTrayIcon;

namespace gx {

// The rest of the desktop: the system beep, the web browser, the
// system-information tool and the desktop's notifications.
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual void beep() = 0;
    virtual bool openUrl(const QUrl& url) = 0;
    // The platform's system-information program, or "" where there is none.
    virtual QString systemInfoTool() const = 0;
    virtual bool startSystemInfo() = 0;
    // A message in the desktop's notification area (the system tray); false
    // when the desktop has none, and the caller says it another way.
    virtual bool notify(const QString& title, const QString& text) = 0;
};

class QtDesktop final : public Desktop {
public:
    QtDesktop();
    ~QtDesktop() override;
    void beep() override;
    bool openUrl(const QUrl& url) override;
    QString systemInfoTool() const override;
    bool startSystemInfo() override;
    bool notify(const QString& title, const QString& text) override;

private:
    std::unique_ptr<QSystemTrayIcon> m_tray;  // made at the first notification
};

} // namespace gx
