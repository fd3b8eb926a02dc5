// What gx520 answers to --help and --version, and its refusal of anything else.
#pragma once

#include <QStringList>

namespace gx {

// The text of "gx520 --help" (the manual page is made from it too).
const char* programHelp();

// Before the window is made: --help and --version are answered on standard
// output. Returns the exit status then, -1 when the program is to start.
int answerCommandLine(int argc, char** argv);

// After Qt has taken its own options (-platform, -style, ...): any argument
// left is refused with the usage (exit status 2); -1 when there is none.
int refuseLeftArguments(const QStringList& arguments);

} // namespace gx
