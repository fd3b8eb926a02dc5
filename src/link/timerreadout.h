#pragma once

// The time left in the controller's current timed phase, read from the status image as hours, minutes and seconds.

#include <QString>

#include <cstdint>

namespace gx {

// How long the controller's current timed phase has left, read from the status
// image the live monitor keeps (101 bytes). Timers 0..7 sit at bytes 19+2t on the
// direct line and 23+2t on the network; timer 8 (the stop output held after the
// engine stopped) at bytes 57-58; timer 13 (contactor delay) at 63-64. Counts are
// tenths of a second, shown as two-digit hours, minutes and seconds.
class TimerReadout {
public:
    struct Time {
        QString H, M, S;
    };
    Time getTime(const uint8_t* statusImage, bool networkMode, int timerNumber);
    int TimVal = 0;
};

} // namespace gx
