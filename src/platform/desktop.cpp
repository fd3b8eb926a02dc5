// The desktop through Qt: beep, browser, a system-information tool found on the path, tray messages.

#include "desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QStyle>
#include <QSystemTrayIcon>

namespace gx {

QtDesktop::QtDesktop() = default;
QtDesktop::~QtDesktop() = default;

void QtDesktop::beep()
{
    QApplication::beep();
}

bool QtDesktop::openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

QString QtDesktop::systemInfoTool() const
{
#ifdef Q_OS_WIN
    return QStandardPaths::findExecutable(QStringLiteral("msinfo32"));
#else
    for (const char* name : {"hardinfo", "gnome-system-monitor", "ksysguard", "plasma-systemmonitor"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty())
            return path;
    }
    return QString();
#endif
}

bool QtDesktop::startSystemInfo()
{
    const QString tool = systemInfoTool();
    return !tool.isEmpty() && QProcess::startDetached(tool, {});
}

bool QtDesktop::notify(const QString& title, const QString& text)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable() || !QSystemTrayIcon::supportsMessages())
        return false;
    if (!m_tray) {
        QIcon icon = QApplication::windowIcon();
        if (icon.isNull())
            icon = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        m_tray = std::make_unique<QSystemTrayIcon>(icon);
        m_tray->setToolTip(QApplication::applicationName());
        m_tray->show();
    }
    m_tray->showMessage(title, text, QSystemTrayIcon::Warning, 15000);
    return true;
}

} // namespace gx
