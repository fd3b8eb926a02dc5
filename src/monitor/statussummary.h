#pragma once

// One poll in words and numbers for gxctl, the data log and the trend; the data log's CSV; remote nodes' views.

#include "monitor/lcd.h"
#include "monitor/statusrecord.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>

namespace gx {

struct Profile;

// One poll in words and numbers: what gxctl prints, what the data log and
// the trend keep.
struct StatusSummary {
    int state = 0;
    QString stateText;   // "Stopped", "Starting", "Running off load", ...
    QString mode;        // "AUTO", "MAN" or "OFF"
    QString lcdTop, lcdBottom;
    std::array<int, 3> volts{};
    std::array<int, 3> amps{};
    int frequency = 0;      // Hz
    int oilPressure = 0;    // psi
    int engineTemperature = 0;  // degrees Celsius
    double battery = 0.0;   // V
    int engineSpeed = 0;    // rpm
    double hoursRun = 0.0;
    int faultCode = 0;
    QString faultText;      // "" without a fault
};

// The summary of a decoded status and the view the poll built from it.
StatusSummary summarize(const StatusRecord& record, const StatusImage& image, const PollView& view,
                        const Profile& uploaded, bool networkMode);

QString stateName(int state);

// What the monitor's instruments show of a summary read back from a state
// message (a remote node): the two LCD lines, darkened while a fault stands,
// the gauges (oil in bar, temperature in degrees Celsius, speed in thousands
// of rpm) and the hours counter. The LEDs, the over-current bar and the
// override are not in a summary: they stay dark.
PollView pollViewOf(const StatusSummary& s);
// The monitor's set-up for such a node, which has no profile here: the
// gauges' own scales, three phases, the labels of the LEDs greyed (their
// state is not known) and "Site: " with the site name.
ScreenSetup remoteScreenSetup(const QString& siteName);

// The data log: one header line, then one row a poll, comma-separated, texts
// quoted where they hold a comma or a quote, the time in ISO 8601 with its
// offset from UTC.
QString csvHeader();
QString csvRow(const QDateTime& when, const StatusSummary& s);
// One field as the data log writes it: quoted where it holds a comma, a quote
// or a line break.
QString csvField(const QString& text);
// The fields of a row (the reverse of csvRow's quoting).
QStringList csvFields(const QString& row);

} // namespace gx
