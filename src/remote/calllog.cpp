// Splitting the call log into records and columns, and putting a new numbered record on top.

#include "remote/calllog.h"

namespace gx::calllog {

namespace {

QStringList fileLines(const QByteArray& file)
{
    QString text = QString::fromLatin1(file);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString numberText(qint64 n)
{
    // A blank before the digits, the whole right-aligned in six characters.
    return (QLatin1Char(' ') + QString::number(n)).rightJustified(6, QLatin1Char(' '));
}

} // namespace

QStringList recordLines(const QByteArray& file)
{
    QStringList out;
    for (const QString& line : fileLines(file)) {
        if (line == EndLine)
            break;
        out << line;
    }
    return out;
}

Columns columns(const QString& line)
{
    return {line.mid(0, 6), line.mid(7, 16), line.mid(24, 10), line.mid(35, 8), line.mid(44, 9), line.mid(54)};
}

QString recordLine(int number, const QString& site, const QDateTime& when, const QString& hoursRun,
                   const QString& faultText)
{
    return numberText(number) + QLatin1Char(' ') + site.leftJustified(16, QLatin1Char(' '), true) + QLatin1Char(' ')
         + when.toString(QStringLiteral("MM-dd-yyyy")) + QLatin1Char(' ') + when.toString(QStringLiteral("HH:mm:ss"))
         + QLatin1Char(' ') + hoursRun.leftJustified(9, QLatin1Char(' '), true) + QLatin1Char(' ') + faultText;
}

QByteArray withNewRecord(const QByteArray& file, const QString& site, const QDateTime& when,
                         const QString& hoursRun, const QString& faultText)
{
    const QStringList records = recordLines(file);
    QStringList lines;
    lines << recordLine(int(records.size()) + 1, site, when, hoursRun, faultText);
    lines << records;
    lines << EndLine;
    QByteArray out;
    for (const QString& l : lines)
        out += l.toLatin1() + "\r\n";
    return out;
}

QString nodeSite(int node)
{
    return (QStringLiteral("RS485 Node:") + QLatin1Char(' ') + QString::number(node)).leftJustified(16, QLatin1Char(' '));
}

} // namespace gx::calllog
