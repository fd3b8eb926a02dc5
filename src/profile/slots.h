#pragma once

// The kinds of profile slot, and where each edited slot sits on the editor pages and what it is called.

#include <QString>

namespace gx {

// The kinds of slot of a profile, as the editor pages show them.
enum class SlotKind { Timer, SysValue, Switch, Message, Pin, Notes };

// Where a slot is shown and how it is labelled: the page (and box) it sits on,
// the label before its control and the unit label after it ("" for none).
struct SlotInfo {
    QString where;
    QString label;
    QString unit;
};

// The label of an edited slot: timers 0-9 and 13, system values 0-27,
// switches 0-14, 16-22, 24-27 and the sensor selectors 32 and 33, messages
// 0-5, PINs 0-3, notes (index 0). Other slots have an empty label.
SlotInfo slotInfo(SlotKind kind, int index);

// A slot's page (and box) and label, without its unit: "Generator setup (1): Over Speed:".
QString settingLabel(SlotKind kind, int index);

// How reports and comparisons name a slot: "Timers: Crank time:",
// "Generator setup (1): Over Speed: (rpm)", "Inputs: Input 1 Oil-pressure: Units:".
QString settingName(SlotKind kind, int index);

} // namespace gx
