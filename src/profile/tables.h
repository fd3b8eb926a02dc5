#pragma once

// The function texts of the programmable inputs and outputs, floor division, and durations as " H:MM:SS".

#include <QString>

#include <array>

namespace gx {

// Function texts of the programmable inputs (options of SwSwitch 16-18) and
// outputs (options of SwSwitch 24-27). Entry 0 of each is its not-used entry.
// The texts are used as they stand, trailing blanks included; the last output
// entry is empty.
extern const std::array<QString, 16> InputFunctionText;
extern const std::array<QString, 53> OutputFunctionText;

// Floor division and remainder for signed values (rounds towards minus
// infinity, as the program's conversions do).
constexpr qint64 floorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// A duration in whole seconds as " H:MM:SS": the hours with one leading blank
// (a minus sign in its place for a negative duration) and no leading zeros.
QString secondsToTime(int timeValue);

} // namespace gx
