// Telling why a serial port would not open (missing, not permitted, busy) and the text that says what to do.

#include "portfailure.h"

#include "portnames.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace gx {

PortTrouble classifyOpenFailure(bool exists, bool readWritable, QSerialPort::SerialPortError error)
{
    if (!exists || error == QSerialPort::DeviceNotFoundError)
        return PortTrouble::NoSuchDevice;
    if (!readWritable)
        return PortTrouble::NoPermission;
    // The user may use the device and still it refused: EBUSY (another
    // program holds it exclusively) and a lock file held by another program
    // both come as PermissionError.
    if (error == QSerialPort::PermissionError)
        return PortTrouble::Busy;
    // A device file with no hardware behind it (ttyS2 on a computer with one
    // serial port) answers with an I/O error.
    if (error == QSerialPort::ResourceError)
        return PortTrouble::NoSuchDevice;
    return PortTrouble::Other;
}

PortOpenFailure diagnoseOpenFailure(const QString& device, QSerialPort::SerialPortError error, const QString& detail)
{
    PortOpenFailure f;
    f.device = device;
    f.detail = detail;
    const QFileInfo info(device);
    const bool exists = info.exists();
    bool readWritable = true;
#ifdef Q_OS_UNIX
    readWritable = !exists || ::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0;
#endif
    f.cause = classifyOpenFailure(exists, readWritable, error);
    if (f.cause == PortTrouble::NoPermission)
        f.group = info.group();
    if (f.cause == PortTrouble::NoSuchDevice)
        for (const SerialDeviceInfo& d : availableSerialDevices())
            f.present << (d.stablePath.isEmpty() ? d.systemLocation : d.stablePath);
    return f;
}

QString portFailureText(const PortOpenFailure& f)
{
    const QString device = f.device.isEmpty() ? QStringLiteral("the port") : f.device;
    switch (f.cause) {
    case PortTrouble::None:
        return QString();
    case PortTrouble::NoPermission: {
        const QString group = f.group.isEmpty() ? QStringLiteral("dialout") : f.group;
        QString user = qEnvironmentVariable("USER");
        if (user.isEmpty())
            user = QStringLiteral("$USER");
        return QStringLiteral("%1: permission denied. Add yourself to the group %2 and log in again "
                              "(sudo adduser %3 %2).")
            .arg(device, group, user);
    }
    case PortTrouble::NoSuchDevice:
        return QStringLiteral("%1: no such device. Plug the adapter in, or choose the device it came back as in "
                              "Settings > Com Ports (%2).")
            .arg(device, f.present.isEmpty() ? QStringLiteral("no serial device is there now")
                                             : QStringLiteral("there now: ") + f.present.join(QStringLiteral(", ")));
    case PortTrouble::Busy:
        return QStringLiteral("%1: busy, another program has it open (or ModemManager is probing a new adapter). "
                              "Close that program, or wait a few seconds and try again; \"fuser -v %1\" names it.")
            .arg(device);
    case PortTrouble::Other:
        break;
    }
    return f.detail.isEmpty() ? device : QStringLiteral("%1: %2.").arg(device, f.detail);
}

QString cantOpenMessage(int comNumber, const PortOpenFailure& failure)
{
    QString message = comNumber > 0 ? QStringLiteral("can't open COM ") + QString::number(comNumber)
                                    : QStringLiteral("can't open ") + failure.device;
    const QString why = portFailureText(failure);
    if (!why.isEmpty())
        message += QLatin1Char('\n') + why;
    return message;
}

} // namespace gx
