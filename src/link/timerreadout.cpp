// Reading a timer's tenths from the status image and splitting them into two-digit hours, minutes and seconds.

#include "timerreadout.h"

namespace gx {

namespace {
QString twoDigits(int v)
{
    const QString s = QString::number(v);
    return s.size() == 1 ? QLatin1Char('0') + s : s;
}
int word(const uint8_t* image, int at)
{
    return image[at] * 256 + image[at + 1];
}
} // namespace

TimerReadout::Time TimerReadout::getTime(const uint8_t* image, bool networkMode, int timerNumber)
{
    if (timerNumber >= 0 && timerNumber < 8)
        TimVal = word(image, (networkMode ? 23 : 19) + 2 * timerNumber);
    else if (timerNumber == 8)
        TimVal = word(image, 57);
    else if (timerNumber == 13)
        TimVal = word(image, 63);
    // Tenths to whole seconds, rounded up. Other timer numbers convert the
    // previous value again.
    const int seconds = (TimVal + 9) / 10;
    const int hr = seconds / 3600;
    const int mn = (seconds - 3600 * hr) / 60;
    const int se = seconds - 3600 * hr - 60 * mn;
    TimVal = seconds;
    return {twoDigits(hr), twoDigits(mn), twoDigits(se)};
}

} // namespace gx
