// Splitting a data file into fields, reading them as text or numbers, and saying where a read went wrong.

#include "profile/fieldreader.h"

#include <utility>

namespace gx {

FieldReader::FieldReader(QByteArray bytes)
    : m_bytes(std::move(bytes))
{
}

bool FieldReader::atEnd() const
{
    return m_pos >= m_bytes.size();
}

void FieldReader::skipSpaces()
{
    while (m_pos < m_bytes.size() && m_bytes[m_pos] == ' ')
        ++m_pos;
}

bool FieldReader::atLineEnd() const
{
    if (m_pos >= m_bytes.size())
        return false;
    const char c = m_bytes[m_pos];
    return c == '\n' || c == '\r';
}

void FieldReader::consumeSeparator()
{
    if (m_pos >= m_bytes.size())
        return;
    const char c = m_bytes[m_pos];
    if (c == ',') {
        ++m_pos;
    } else if (c == '\r') {
        ++m_pos;
        if (m_pos < m_bytes.size() && m_bytes[m_pos] == '\n')
            ++m_pos;
        ++m_line;
    } else if (c == '\n') {
        ++m_pos;
        ++m_line;
    }
}

std::optional<QString> FieldReader::readText()
{
    m_error.clear();
    m_pastEnd = false;
    m_lastField.clear();
    if (atEnd()) {
        m_fieldLine = m_line;
        m_pastEnd = true;
        m_error = QStringLiteral("the file ends where another value was expected");
        return std::nullopt;
    }
    skipSpaces();
    m_fieldLine = m_line;

    QString value;
    if (m_pos < m_bytes.size() && m_bytes[m_pos] == '"') {
        const qsizetype start = ++m_pos;
        while (m_pos < m_bytes.size() && m_bytes[m_pos] != '"' && !atLineEnd())
            ++m_pos;
        value = QString::fromLatin1(m_bytes.constData() + start, m_pos - start);
        // Whatever follows the closing quote up to the separator is dropped.
        while (m_pos < m_bytes.size() && m_bytes[m_pos] != ',' && !atLineEnd())
            ++m_pos;
    } else {
        const qsizetype start = m_pos;
        while (m_pos < m_bytes.size() && m_bytes[m_pos] != ',' && !atLineEnd())
            ++m_pos;
        value = QString::fromLatin1(m_bytes.constData() + start, m_pos - start);
    }
    consumeSeparator();
    m_lastField = value;
    return value;
}

std::optional<qint64> FieldReader::readNumber()
{
    const std::optional<QString> text = readText();
    if (!text)
        return std::nullopt;
    const QString t = text->trimmed();
    if (t.isEmpty())
        return 0;
    bool digitsOnly = true;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (!(c.isDigit() && c.unicode() < 128) && !(i == 0 && (c == '-' || c == '+') && t.size() > 1))
            digitsOnly = false;
    }
    bool ok = false;
    const qint64 value = digitsOnly ? t.toLongLong(&ok, 10) : 0;
    if (!ok) {
        m_error = QStringLiteral("a whole number was expected, found \"%1\"").arg(*text);
        return std::nullopt;
    }
    return value;
}

QStringList FieldReader::readRemainingLines()
{
    QStringList lines;
    m_error.clear();
    m_pastEnd = false;
    while (m_pos < m_bytes.size()) {
        const qsizetype start = m_pos;
        while (m_pos < m_bytes.size() && !atLineEnd())
            ++m_pos;
        lines.append(QString::fromLatin1(m_bytes.constData() + start, m_pos - start));
        m_fieldLine = m_line;
        consumeSeparator();
    }
    return lines;
}

} // namespace gx
