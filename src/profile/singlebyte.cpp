// Telling the characters a profile can hold from foreign ones, and turning or marking the foreign ones.

#include "profile/singlebyte.h"

namespace gx {

bool isSingleByte(QChar c, bool lineBreaks)
{
    const char16_t u = c.unicode();
    if (lineBreaks && (u == '\r' || u == '\n' || u == '\t'))
        return true;
    return (u >= 0x20 && u < 0x7F) || (u >= 0xA0 && u <= 0xFF);
}

bool isSingleByteText(const QString& text, bool lineBreaks)
{
    for (const QChar c : text)
        if (!isSingleByte(c, lineBreaks))
            return false;
    return true;
}

namespace {

QChar twin(QChar c)
{
    switch (c.unicode()) {
    case 0x2018: case 0x2019: case 0x201A: case 0x201B: case 0x2032: case 0x02BC:
        return QLatin1Char('\'');
    case 0x201C: case 0x201D: case 0x201E: case 0x201F: case 0x2033:
        return QLatin1Char('"');
    case 0x2010: case 0x2011: case 0x2012: case 0x2013: case 0x2014: case 0x2015: case 0x2212:
        return QLatin1Char('-');
    case 0x2002: case 0x2003: case 0x2007: case 0x2008: case 0x2009: case 0x200A: case 0x202F:
        return QLatin1Char(' ');
    default:
        return QLatin1Char('?');
    }
}

} // namespace

QString toSingleByte(const QString& text, bool lineBreaks)
{
    QString out = text;
    for (QChar& c : out)
        if (!isSingleByte(c, lineBreaks))
            c = twin(c);
    return out;
}

QString markedForeign(const QString& text, bool lineBreaks)
{
    QString out;
    for (const QChar c : text) {
        if (isSingleByte(c, lineBreaks))
            out += c;
        else if (c.unicode() < 0x100)
            out += QStringLiteral("<%1>").arg(int(c.unicode()), 2, 16, QLatin1Char('0')).toUpper();
        else
            out += QStringLiteral("<U+%1>").arg(int(c.unicode()), 4, 16, QLatin1Char('0')).toUpper();
    }
    return out;
}

} // namespace gx
