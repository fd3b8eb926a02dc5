#include "program.h"

#include "formmonitor.h"

namespace gx {

void installProgram(FormMonitor& window)
{
    (void)window;
}

} // namespace gx
