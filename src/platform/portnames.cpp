// Mapping a COM number to its device, and listing serial devices with their stable /dev/serial/by-id names.

#include "portnames.h"

#include "settingsstore.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>

namespace gx {

QString systemPortName(int comNumber, const SettingsStore& settings)
{
    const QString mapped =
        settings.value(QStringLiteral("Ports"), QStringLiteral("COM%1").arg(comNumber)).trimmed();
    if (!mapped.isEmpty())
        return mapped;
    return defaultPortName(comNumber);
}

QString defaultPortName(int comNumber)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(comNumber);
#else
    return QStringLiteral("/dev/ttyS%1").arg(comNumber - 1);
#endif
}

QString SerialDeviceInfo::text() const
{
    QStringList about;
    if (!manufacturer.isEmpty())
        about << manufacturer;
    if (!serialNumber.isEmpty())
        about << serialNumber;
    QString t = systemLocation;
    if (!description.isEmpty())
        t += QStringLiteral("  ") + description;
    if (!about.isEmpty())
        t += QStringLiteral(" (") + about.join(QStringLiteral(", ")) + QLatin1Char(')');
    return t;
}

QList<SerialDeviceInfo> availableSerialDevices()
{
    QList<SerialDeviceInfo> out;
    for (const QSerialPortInfo& i : QSerialPortInfo::availablePorts())
        out.append({i.systemLocation(), i.description(), i.manufacturer(), i.serialNumber(),
                    stablePathOf(i.systemLocation())});
    return out;
}

QString stablePathOf(const QString& systemLocation, const QString& byIdFolder)
{
    const QString target = QFileInfo(systemLocation).canonicalFilePath();
    if (target.isEmpty())
        return QString();
    const QDir folder(byIdFolder);
    for (const QFileInfo& link : folder.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name))
        if (link.isSymLink() && link.canonicalFilePath() == target)
            return link.absoluteFilePath();
    return QString();
}

} // namespace gx
