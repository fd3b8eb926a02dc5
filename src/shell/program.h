#pragma once

// Joining program mode, monitoring, remote access and the fleet board to the main window.

namespace gx {

class FormMonitor;

// Joins the screens and operations of the whole program to the main window:
// the profile tables and editor, the monitor, remote access, the fleet board,
// and the menu items they own.
void installProgram(FormMonitor& window);

} // namespace gx
