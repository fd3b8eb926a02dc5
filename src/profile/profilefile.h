#pragma once

// The profile file (.510, .520): its headings, writing a working profile and reading one back with its faults.

#include "profile/profile.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace gx {

// The profile file (".510" or ".520"): one value per line, CR LF line ends,
// single-byte characters. Headings, then timers in tenths, system values,
// switches, messages (commas stored as "~"), sensors, PINs, fixed filler for
// the LEDs, the profile ID and date, and the notes last.
namespace profilefile {
extern const QString TimersHeading;        // "Timers:"
extern const QString SystemValuesHeading;  // "System Values:"
extern const QString SwitchesHeading;      // "Software switches:"
extern const QString MessagesHeading;      // "Text messages:"
extern const QString SensorsHeading;       // "Analog sensors:"
extern const QString PinsHeading;          // "PIN numbers:"
extern const QString LedsHeading;          // "Prorammable LED's:", spelled as the files have it
extern const QString ProfileIdHeading;     // "Profile ID:"
extern const QString DateTimeHeading;      // "Profile date/time:"
} // namespace profilefile

// The file's bytes for a working profile (timers in whole seconds, written in
// tenths). A character beyond the single-byte set is written as "?" (the
// editor keeps such characters out). A message that starts with a double
// quote is written between quotes of its own, so it reads back whole.
QByteArray writeProfileFile(const Profile& working);

// A place where a file breaks the layout.
struct FileProblem {
    int line = 0;
    QString what;
};

struct ProfileFileContents {
    Profile profile;             // timers in whole seconds; whole only when no problems
    QList<FileProblem> problems; // in file order
    bool ok() const { return problems.isEmpty(); }
};

// Reads a whole profile file. A file with every heading on its line of the
// layout is read by position, one value a line, so every file the writer
// writes reads back (a message may read like a heading). A message line wholly
// in double quotes is the text inside them. Otherwise every place that breaks the layout is listed
// (a heading missing or out of place, text where a number belongs, the file
// ending early); the reading goes on past each, so one look shows them all.
// The notes are the remaining lines joined with CR LF, without the line end
// the writer puts after them.
ProfileFileContents readProfileFile(const QByteArray& contents);

// "profile.520, line 19: ..." for each problem, one per line.
QString describeProblems(const QString& fileName, const QList<FileProblem>& problems);

} // namespace gx
