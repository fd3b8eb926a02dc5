#pragma once

// COM numbers and the devices they stand for, and the serial devices present on this computer.

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
    // Its name under /dev/serial/by-id (made from the adapter's maker, model
    // and serial number), which stays when the adapter comes back as another
    // ttyUSB; "" when it has none.
    QString stablePath;
    // "/dev/ttyUSB0  FT232R USB UART (FTDI, A10K1234)".
    QString text() const;
    // What a COM number is best mapped to: the stable path when there is one.
    QString mappedPath() const { return stablePath.isEmpty() ? systemLocation : stablePath; }
};
// The serial devices the system knows of now.
QList<SerialDeviceInfo> availableSerialDevices();

// The link in `byIdFolder` that leads to `systemLocation`; "" when none does.
QString stablePathOf(const QString& systemLocation, const QString& byIdFolder = QStringLiteral("/dev/serial/by-id"));

} // namespace gx
