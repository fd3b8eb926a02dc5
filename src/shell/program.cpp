#include "program.h"

#include "formmonitor.h"
#include "monitoring.h"
#include "programmode.h"

namespace gx {

void installProgram(FormMonitor& window)
{
    // Both attach themselves to the window, which owns them.
    new ProgramMode(window);
    new Monitoring(window);
}

} // namespace gx
