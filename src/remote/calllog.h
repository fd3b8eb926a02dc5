#pragma once

// The call log "faultlog.txt": fixed-column record lines, newest first, ended by "EOF".

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace gx {

// The call log "faultlog.txt": one line per fault call, newest first, and the
// line "EOF" last. A record line has fixed columns: the record number (right
// aligned in 6), the site (16), the date mm-dd-yyyy, the time hh:mm:ss, the
// hours run (9) and the fault text, each after one blank.
namespace calllog {

const QString EndLine = QStringLiteral("EOF");

struct Columns {
    QString number, site, date, time, hours, fault;
};

// The record lines of a log file in file order (newest first), without "EOF"
// lines; lines after the first "EOF" are not part of the log.
QStringList recordLines(const QByteArray& file);
// The six columns of a record line, as the lists show them.
Columns columns(const QString& line);

// One record line.
QString recordLine(int number, const QString& site, const QDateTime& when, const QString& hoursRun,
                   const QString& faultText);

// The log with a new record on top: the record's number is one more than the
// records already there; a file that is empty or has no "EOF" gets one.
// Nothing is dropped, however long the log grows.
QByteArray withNewRecord(const QByteArray& file, const QString& site, const QDateTime& when,
                         const QString& hoursRun, const QString& faultText);

// The site column of a fault that an RS485 node reported: "RS485 Node: 12"
// padded to 16 characters.
QString nodeSite(int node);

} // namespace calllog

} // namespace gx
