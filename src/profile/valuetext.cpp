// Turning system values into the editor's texts: tenths, bar from psi, Fahrenheit from Celsius.

#include "profile/valuetext.h"

#include "profile/tables.h"

namespace gx {

QString tenthsText(qint64 tenths)
{
    const qint64 magnitude = tenths < 0 ? -tenths : tenths;
    QString text = QString::number(magnitude / 10);
    if (magnitude % 10 != 0)
        text += QLatin1Char('.') + QString::number(magnitude % 10);
    return tenths < 0 ? QLatin1Char('-') + text : text;
}

QString pressureBarText(qint64 psi)
{
    // psi / 14.493 bar, in tenths and cut off: psi * 10 / 14.493 = psi * 10000 / 14493.
    return tenthsText(floorDiv(psi * 10000, 14493));
}

QString fahrenheitText(qint64 celsius)
{
    return QString::number(floorDiv(celsius * 9, 5) + 32);
}

QString sysValueText(int slot, qint64 value, int pressureUnitsOption, int temperatureUnitsOption)
{
    switch (slot) {
    case 17:
        return tenthsText(value);
    case 18:
    case 19:
        return pressureUnitsOption == 0 ? pressureBarText(value) : QString::number(value);
    case 20:
    case 21:
        return temperatureUnitsOption == 0 ? fahrenheitText(value) : QString::number(value);
    default:
        return QString::number(value);
    }
}

} // namespace gx
