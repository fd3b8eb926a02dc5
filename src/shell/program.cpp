#include "program.h"

#include "formmonitor.h"
#include "monitoring.h"
#include "programmode.h"
#include "remoteaccess.h"

namespace gx {

void installProgram(FormMonitor& window)
{
    // Both attach themselves to the window, which owns them.
    new ProgramMode(window);
    new Monitoring(window);
    new RemoteAccess(window);
}

} // namespace gx
