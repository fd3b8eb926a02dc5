// Reading print_data.txt and laying a working profile out on the print-out's two pages.

#include "profile/printout.h"

#include "profile/fieldreader.h"
#include "profile/limitscheck.h"
#include "profile/tables.h"

#include <QDir>

namespace gx {

namespace {

struct Missing {
    int line;
    QString what;
};

class Input {
public:
    explicit Input(const QByteArray& bytes) : m_in(bytes) {}
    QString field(const QString& what)
    {
        const std::optional<QString> f = m_in.readText();
        if (!f)
            throw Missing{m_in.line(), what};
        return *f;
    }

private:
    FieldReader m_in;
};

} // namespace

std::optional<PrintData> readPrintData(const QByteArray& contents, const QString& fileName, QString* error)
{
    Input in(contents);
    PrintData d;
    try {
        d.timerHeading = in.field(QStringLiteral("the heading of the timers"));
        for (int i = 0; i < 10; ++i) {
            d.timerTitle[size_t(i)] = in.field(QStringLiteral("the title of timer %1").arg(i));
            d.timerComment[size_t(i)] = in.field(QStringLiteral("the comment of timer %1").arg(i));
        }
        in.field(QStringLiteral("the separator after the timers"));
        d.sysValueHeading = in.field(QStringLiteral("the heading of the system values"));
        for (int i = 0; i < 28; ++i) {
            d.sysValueTitle[size_t(i)] = in.field(QStringLiteral("the title of system value %1").arg(i));
            d.sysValueUnit[size_t(i)] = in.field(QStringLiteral("the unit of system value %1").arg(i));
        }
        in.field(QStringLiteral("the separator after the system values"));
        d.switchHeading = in.field(QStringLiteral("the heading of the switches"));
        for (int i = 0; i < 34; ++i)
            d.switchTitle[size_t(i)] = in.field(QStringLiteral("the title of switch %1").arg(i));
        in.field(QStringLiteral("the separator after the switches"));
        d.messageHeading = in.field(QStringLiteral("the heading of the messages"));
        for (int i = 0; i < 6; ++i)
            d.messageTitle[size_t(i)] = in.field(QStringLiteral("the title of message %1").arg(i));
        in.field(QStringLiteral("the separator after the messages"));
        d.pinHeading = in.field(QStringLiteral("the heading of the PINs"));
        for (int i = 0; i < 4; ++i)
            d.pinTitle[size_t(i)] = in.field(QStringLiteral("the title of PIN %1").arg(i));
    } catch (const Missing& m) {
        if (error)
            *error = QStringLiteral("%1, line %2: the file ends where %3 was expected.")
                         .arg(QDir::toNativeSeparators(fileName)).arg(m.line).arg(m.what);
        return std::nullopt;
    }
    if (error)
        error->clear();
    return d;
}

QString findPrintDataFile(const QString& startFolder)
{
    return findDataFile(QStringLiteral("print_data.txt"), startFolder);
}

QString printedTime(int seconds)
{
    const bool negative = seconds < 0;
    const qint64 s = negative ? -qint64(seconds) : seconds;
    const QString text = QStringLiteral("%1:%2:%3")
                             .arg(s / 3600, 2, 10, QLatin1Char('0'))
                             .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                             .arg(s % 60, 2, 10, QLatin1Char('0'));
    return negative ? QLatin1Char('-') + text : text;
}

namespace {

// A number as the printer shows it: a blank before it, or its minus sign.
QString signedNumber(qint64 v)
{
    return v < 0 ? QString::number(v) : QLatin1Char(' ') + QString::number(v);
}

// Tenths with one decimal ("#0.0"): 25 gives "2.5", 20 gives "2.0".
QString oneDecimal(qint64 tenths)
{
    const qint64 m = tenths < 0 ? -tenths : tenths;
    return (tenths < 0 ? QStringLiteral("-") : QString()) + QString::number(m / 10) + QLatin1Char('.')
         + QString::number(m % 10);
}

QList<PrintLine> pageHeading(const QDateTime& now)
{
    const QString heading = QStringLiteral("GX510-520 Profile.  Date: ") + now.toString(QStringLiteral("MM-dd-yyyy"))
                          + QStringLiteral("  Time: ") + now.toString(QStringLiteral("HH:mm:ss"));
    return {PrintLine::plain(heading), PrintLine::plain(QString()), PrintLine::plain(QString())};
}

// A title padded to `column`, then the rest.
PrintLine titled(const QString& title, int column, const QString& rest)
{
    return PrintLine{{{0, title}, {qMax(column, int(title.size())), rest}}};
}

} // namespace

PrintDocument profilePrintout(const Profile& p, const ProgramLimits& limits, const PrintData& d, const QDateTime& now)
{
    PrintDocument doc;
    QList<PrintLine> first = pageHeading(now);
    first << PrintLine::plain(d.timerHeading);
    for (int i = 0; i < 10; ++i)
        first << titled(d.timerTitle[size_t(i)], 35,
                        printedTime(p.TimerValue[size_t(i)]) + QStringLiteral("  ") + d.timerComment[size_t(i)]);

    first << PrintLine::plain(QString()) << PrintLine::plain(d.sysValueHeading);
    for (int i = 0; i < 28; ++i) {
        if (i == 14 || i == 15 || i == 22 || i == 23)
            continue;
        const qint64 v = p.SysValue[size_t(i)];
        const QString value = i == 17 ? QLatin1Char(' ') + oneDecimal(v) : signedNumber(v);
        const QString& title = d.sysValueTitle[size_t(i)];
        PrintLine line = titled(title, 34, value);
        line.pieces << PrintPiece{qMax(45, int(line.text().size())), d.sysValueUnit[size_t(i)]};
        first << line;
    }

    first << PrintLine::plain(QString()) << PrintLine::plain(d.switchHeading);
    for (int i = 0; i < 34; ++i) {
        if (!isEditedSwitchRecord(i))
            continue;
        const int option = switchOption(p, i);
        const QStringList& labels = limits.SwitchLimit[size_t(i)].OptionLabel;
        first << titled(d.switchTitle[size_t(i)], 35, option >= 0 && option < labels.size() ? labels[option] : QString());
    }
    doc.pages << first;

    QList<PrintLine> second = pageHeading(now);
    second << PrintLine::plain(d.messageHeading);
    for (int i = 0; i < 6; ++i)
        second << titled(d.messageTitle[size_t(i)], 35, QLatin1Char('"') + p.MessageText[size_t(i)] + QLatin1Char('"'));
    second << PrintLine::plain(QString()) << PrintLine::plain(d.pinHeading);
    for (int i = 0; i < 4; ++i)
        second << titled(d.pinTitle[size_t(i)], 35, p.PINtext[size_t(i)]);
    second << PrintLine::plain(QString()) << PrintLine::plain(QStringLiteral("Profile notes:"));
    QString notes = p.Notes;
    notes.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (const QString& l : notes.split(QLatin1Char('\n')))
        second << PrintLine::plain(l);
    doc.pages << second;
    return doc;
}

} // namespace gx
