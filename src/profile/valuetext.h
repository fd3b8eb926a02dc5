#pragma once

// System values as the editor shows them: tenths, pressures in bar, temperatures in degrees Fahrenheit.

#include <QString>

namespace gx {

// A value held in tenths, as decimal text with a decimal only where needed:
// 25 gives "2.5", 20 gives "2".
QString tenthsText(qint64 tenths);

// Oil pressure held in psi, in bar with one decimal cut off (not rounded):
// 100 gives "6.8", 145 gives "10".
QString pressureBarText(qint64 psi);

// Engine temperature held in degrees Celsius, in whole degrees Fahrenheit
// (rounded down): 100 gives "212", 0 gives "32".
QString fahrenheitText(qint64 celsius);

// The value text of SysValue slot `slot`, as the editor shows it.
// pressureUnitsOption and temperatureUnitsOption are the options of
// SwSwitch 3 and 4 (-1 when nothing is selected): option 0 shows bar and
// degrees Fahrenheit.
QString sysValueText(int slot, qint64 value, int pressureUnitsOption, int temperatureUnitsOption);

} // namespace gx
