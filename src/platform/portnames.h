#pragma once

#include <QString>

namespace gx {

class SettingsStore;

// "COM n" as the user knows it, mapped to the system's device name. A user with a
// USB adapter writes e.g. COM3=/dev/ttyUSB0 in section [Ports] of the settings
// file; without an entry COM n is "COMn" on Windows and /dev/ttyS(n-1) on Linux.
QString systemPortName(int comNumber, const SettingsStore& settings);

} // namespace gx
