// Attaching each part of the program to the main window, which owns them.

#include "program.h"

#include "fleetmode.h"
#include "formmonitor.h"
#include "monitoring.h"
#include "programmode.h"
#include "remoteaccess.h"

namespace gx {

void installProgram(FormMonitor& window)
{
    // Each attaches itself to the window, which owns them.
    new ProgramMode(window);
    new Monitoring(window);
    new RemoteAccess(window);
    new FleetMode(window);
}

} // namespace gx
