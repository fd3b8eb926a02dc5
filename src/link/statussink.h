#pragma once

// Where operations report progress and outcome: the status windows in the program, the console in gxctl.

#include <QString>

namespace gx {

// Where operations report progress and outcome: an information window (icon 0)
// or an error window with a beep (icon 1); duration in seconds, 0 = stays.
class StatusSink {
public:
    virtual ~StatusSink() = default;
    virtual void displayStatus(const QString& displayMessage, int duration, int icon) = 0;
};

} // namespace gx
