#pragma once

// The print-out of a profile: its titles from print_data.txt and the two pages built from a working profile.

#include "platform/printdocument.h"
#include "profile/limits.h"
#include "profile/profile.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <array>
#include <optional>

namespace gx {

// The headings, titles, comments and units of the print-out, as read from
// "print_data.txt" (comma- or line-separated fields, in a fixed order).
struct PrintData {
    QString timerHeading;
    std::array<QString, 10> timerTitle, timerComment;
    QString sysValueHeading;
    std::array<QString, 28> sysValueTitle, sysValueUnit;
    QString switchHeading;
    std::array<QString, 34> switchTitle;  // by selector index, 15, 23 and 28-31 included
    QString messageHeading;
    std::array<QString, 6> messageTitle;
    QString pinHeading;
    std::array<QString, 4> pinTitle;
};

// Reads print_data.txt. A file that ends too early is refused with a message
// naming the file, the line and the field that was expected.
std::optional<PrintData> readPrintData(const QByteArray& contents, const QString& fileName, QString* error);

// Where print_data.txt is found: as limits.txt (the start folder, then the
// program's data folders). Returns "" when it is in none of them.
QString findPrintDataFile(const QString& startFolder);

// The two pages of the print-out of a working profile: timers, system values
// (as held: pressures in psi, temperatures in degrees Celsius) and selectors
// on the first, messages, PINs and notes on the second, each page headed with
// the date and time `now`. Option texts come from the limits.
PrintDocument profilePrintout(const Profile& working, const ProgramLimits& limits, const PrintData& data,
                              const QDateTime& now);

// A duration in whole seconds as "hh:mm:ss" (two-digit hours at least).
QString printedTime(int seconds);

} // namespace gx
