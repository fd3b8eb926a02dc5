#pragma once

// A modem's results as whole lines, whatever pieces they cross the line in.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace gx {

// A numeric result is its digit and CR ("1\r"), a word result is framed CR LF
// ("\r\nCONNECT\r\n"); an echoed command line ends in its CR. A result counts
// only once its line has ended: a modem sends each byte at the line's pace,
// so "1" and its CR come in separate reads. Empty lines are skipped.
class ModemLines {
public:
    void append(const QByteArray& bytes);
    bool hasLine() const { return !m_lines.isEmpty(); }
    // The oldest whole line, without its line end; "" when there is none.
    QString takeLine();
    // Forgets every line and the part of a line received so far.
    void clear();
    // An echo of a command the program sent ("AT..."), not a result.
    static bool isEcho(const QString& line);

private:
    QByteArray m_partial;
    QStringList m_lines;
};

} // namespace gx
