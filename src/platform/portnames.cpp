#include "portnames.h"

#include "settingsstore.h"

namespace gx {

QString systemPortName(int comNumber, const SettingsStore& settings)
{
    const QString mapped =
        settings.value(QStringLiteral("Ports"), QStringLiteral("COM%1").arg(comNumber)).trimmed();
    if (!mapped.isEmpty())
        return mapped;
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(comNumber);
#else
    return QStringLiteral("/dev/ttyS%1").arg(comNumber - 1);
#endif
}

} // namespace gx
