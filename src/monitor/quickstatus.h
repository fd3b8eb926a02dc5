#pragma once

// An RS485 node's quick status (fault and state) as its row shows it: text, lamp colour, Reset button.

#include <QString>

#include <optional>

namespace gx {

// The status of one RS485 node from its quick-status reply: fault code f and
// state s, as the network monitor's row (and gxctl scan) shows it.
struct QuickStatusView {
    enum class Lamp { Green, Orange, Red };
    std::optional<QString> text;        // unset: the text stays as it was
    Lamp lamp = Lamp::Green;            // the status lamp is always switched on
    std::optional<bool> resetEnabled;   // unset: the Reset button stays as it was
};
QuickStatusView quickStatus(int fault, int state);

} // namespace gx
