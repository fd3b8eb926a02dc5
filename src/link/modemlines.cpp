// Assembling a modem's result lines from the pieces they arrive in.

#include "modemlines.h"

namespace gx {

namespace {
// A line no modem sends: what a silent garbage source could pile up is cut here.
constexpr int LongestLine = 256;
} // namespace

void ModemLines::append(const QByteArray& bytes)
{
    for (char c : bytes) {
        if (c == '\r' || c == '\n') {
            if (!m_partial.isEmpty())
                m_lines << QString::fromLatin1(m_partial);
            m_partial.clear();
        } else if (m_partial.size() < LongestLine) {
            m_partial += c;
        }
    }
}

QString ModemLines::takeLine()
{
    return m_lines.isEmpty() ? QString() : m_lines.takeFirst();
}

void ModemLines::clear()
{
    m_partial.clear();
    m_lines.clear();
}

bool ModemLines::isEcho(const QString& line)
{
    return line.startsWith(QLatin1String("AT"), Qt::CaseInsensitive);
}

} // namespace gx
