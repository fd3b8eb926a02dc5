#pragma once

#include <QList>
#include <QString>

namespace gx {

class SettingsStore;

// "COM n" as the user knows it, mapped to the system's device name. A user with a
// USB adapter writes e.g. COM3=/dev/ttyUSB0 in section [Ports] of the settings
// file; without an entry COM n is "COMn" on Windows and /dev/ttyS(n-1) on Linux.
QString systemPortName(int comNumber, const SettingsStore& settings);

// The device COM n is without an entry in [Ports]: "COMn" on Windows,
// /dev/ttyS(n-1) on Linux.
QString defaultPortName(int comNumber);

// A serial device present on this computer.
struct SerialDeviceInfo {
    QString systemLocation;  // e.g. /dev/ttyUSB0
    QString description;
    QString manufacturer;
    QString serialNumber;
    // "/dev/ttyUSB0  FT232R USB UART (FTDI, A10K1234)".
    QString text() const;
};
// The serial devices the system knows of now.
QList<SerialDeviceInfo> availableSerialDevices();

} // namespace gx
