// Why a serial port would not open, and what the user can do about it.
#pragma once

#include <QSerialPort>
#include <QString>
#include <QStringList>

namespace gx {

// The common troubles of a serial port on Linux.
enum class PortTrouble {
    None,
    NoPermission,  // the user may not use the device (not in its group, e.g. dialout)
    NoSuchDevice,  // unplugged, or back under another name; or no hardware behind it
    Busy,          // another program has it open (ModemManager probing a new adapter, too)
    Other,
};

struct PortOpenFailure {
    PortTrouble cause = PortTrouble::None;
    QString device;       // /dev/ttyUSB0, /dev/serial/by-id/..., tcp://host:port
    QString detail;       // the system's own words
    QString group;        // NoPermission: the device's group
    QStringList present;  // NoSuchDevice: the serial devices there are now
};

// The cause, from what is known after the open failed: whether the device
// file is there, whether this user may read and write it, and Qt's error.
PortTrouble classifyOpenFailure(bool exists, bool readWritable, QSerialPort::SerialPortError error);

// Looks at the device file and the serial devices present, and classifies.
PortOpenFailure diagnoseOpenFailure(const QString& device, QSerialPort::SerialPortError error, const QString& detail);

// The device, the cause and its remedy, on one line, e.g. "/dev/ttyUSB0:
// permission denied. Add yourself to the group dialout and log in again
// (sudo adduser jane dialout)." Empty when nothing is known.
QString portFailureText(const PortOpenFailure& failure);

// "can't open COM 3" (or the device when it is no COM number, 0), and the
// cause on a second line.
QString cantOpenMessage(int comNumber, const PortOpenFailure& failure);

} // namespace gx
