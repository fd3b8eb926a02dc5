#pragma once

// Profile values checked against the limits, and slots shown as values with their units or option texts.

#include "profile/limits.h"
#include "profile/profile.h"
#include "profile/slots.h"

#include <QList>
#include <QString>

namespace gx {

// A value that arrived (upload or file) but that the editor cannot hold as it
// is: outside the setting's range, beyond a selector's option list, or longer
// than its text box. The editor shows `shownValue` instead; the user is told.
struct ValueAdjustment {
    QString setting;          // which setting, e.g. "Timers: Crank time:"
    QString controllerValue;  // the value that arrived
    QString shownValue;       // what the editor holds instead
};

// Every value of a working profile (timers in whole seconds) that lies outside
// what the limits allow, with the value the editor would show in its place:
// a number brought to the nearest end of its range, an option beyond the list
// as nothing selected, a text cut to its box.
QList<ValueAdjustment> checkAgainstLimits(const Profile& working, const ProgramLimits& limits);

// The range of an edited timer (whole seconds) and of a system value.
struct Range {
    int low = 0;
    int high = 0;
};
Range timerRange(const ProgramLimits& limits, int slot);
Range sysValueRange(const ProgramLimits& limits, int slot);

// A slot's value as the program shows it: timers as " H:MM:SS", system values
// by the editor's rules with their unit (pressures in bar or psi and
// temperatures in degrees Fahrenheit or Celsius as the units selectors say),
// selectors by their option text, messages between double quotes, PINs and
// notes as they are.
QString displayValue(SlotKind kind, int index, const Profile& working, const ProgramLimits& limits);

// The option number a selector index holds: SwSwitch 0-27, AlogSensor 0 and 1
// as indices 32 and 33.
int switchOption(const Profile& p, int index);

} // namespace gx
