#pragma once

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

// The data log: one header line, then one row a poll, comma-separated, texts
// quoted where they hold a comma or a quote, the time in ISO 8601 with its
// offset from UTC.
QString csvHeader();
QString csvRow(const QDateTime& when, const StatusSummary& s);
// The fields of a row (the reverse of csvRow's quoting).
QStringList csvFields(const QString& row);

} // namespace gx
