#pragma once

// gxctl serve: polls a line's controllers without a break and publishes them
// over MQTT, with Home Assistant discovery.

#include "commands.h"

namespace gxctl {

int serve(Session& s, const Invocation& in);

} // namespace gxctl
