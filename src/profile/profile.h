#pragma once

// A controller's complete configuration: timers, system values, switches, messages, sensors, PINs, notes.

#include <QString>

#include <array>

namespace gx {

// A controller's complete configuration. Slots are numbered from 0.
// As uploaded (uploadedProfile) timers are tenths of a second; in the working
// profile shown on the editor pages they are whole seconds.
struct Profile {
    std::array<int, 16> TimerValue{};
    std::array<int, 32> SysValue{};
    std::array<int, 32> SwSwitch{};      // option numbers; -1 = nothing selected
    std::array<QString, 8> MessageText;  // 16 characters, right-padded with blanks
    std::array<int, 8> AlogSensor{};     // option numbers
    std::array<QString, 8> PINtext;      // normally four digits with leading zeros
    QString Notes;                       // at most 1024 characters on the editor

    Profile();
};

inline Profile::Profile()
{
    // Fixed values of the slots that are not edited.
    TimerValue[10] = 20;
    TimerValue[11] = 600;
    TimerValue[12] = 10;
    TimerValue[14] = 5;
    TimerValue[15] = 15;
    for (auto& m : MessageText)
        m = QString(16, QLatin1Char(' '));
    for (auto& p : PINtext)
        p = QStringLiteral("0000");
}

} // namespace gx
