#pragma once

// The data files read as fields: comma- or line-separated, quoted or plain, with the line of each.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace gx {

// Reads the program's data files (limits.txt, profile files) as a stream of
// fields. Fields end at a comma or a line end (CR LF or LF); spaces before a
// field are skipped; a blank line, or a line of spaces only, is one empty
// field. A field that starts with a double quote runs to the closing quote
// and may hold commas; the quotes are not part of the value and anything
// after the closing quote up to the separator is dropped (a quote that is
// never closed ends at the line end). Bytes are taken as Latin-1.
class FieldReader {
public:
    explicit FieldReader(QByteArray bytes);

    // True when no field is left (only a final line end, or nothing, remains).
    bool atEnd() const;

    // The next field as text; nothing when the data has ended.
    std::optional<QString> readText();

    // The next field as a decimal integer; an empty field counts as 0.
    // Nothing when the data has ended or the field is not a whole number;
    // error() then says which.
    std::optional<qint64> readNumber();

    // Line (counted from 1) of the field last read, or of the place where the
    // last read failed.
    int line() const { return m_fieldLine; }

    // Why the last read failed; empty after a successful read.
    QString error() const { return m_error; }
    // True when the last failed read ran past the end of the data.
    bool pastEnd() const { return m_pastEnd; }
    // The raw text of the field last read (also when it was not a number).
    QString lastField() const { return m_lastField; }

    // Every remaining line, whole (commas, quotes and leading spaces kept),
    // without its line end. A last line without a line end counts too.
    QStringList readRemainingLines();

private:
    void skipSpaces();
    bool atLineEnd() const;
    void consumeSeparator();

    QByteArray m_bytes;
    qsizetype m_pos = 0;
    int m_line = 1;       // line of m_pos
    int m_fieldLine = 1;  // line of the last field
    QString m_error;
    QString m_lastField;
    bool m_pastEnd = false;
};

} // namespace gx
