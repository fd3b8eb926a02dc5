#include "desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

namespace gx {

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

} // namespace gx
