#include "profile/profilefile.h"

#include "profile/fieldreader.h"
#include "profile/limits.h"
#include "profile/tables.h"

#include <QDir>

#include <limits>

namespace gx {

namespace profilefile {
const QString TimersHeading = QStringLiteral("Timers:");
const QString SystemValuesHeading = QStringLiteral("System Values:");
const QString SwitchesHeading = QStringLiteral("Software switches:");
const QString MessagesHeading = QStringLiteral("Text messages:");
const QString SensorsHeading = QStringLiteral("Analog sensors:");
const QString PinsHeading = QStringLiteral("PIN numbers:");
const QString LedsHeading = QStringLiteral("Prorammable LED's:");
const QString ProfileIdHeading = QStringLiteral("Profile ID:");
const QString DateTimeHeading = QStringLiteral("Profile date/time:");
} // namespace profilefile

using namespace profilefile;

namespace {

const QByteArray CrLf("\r\n");

QByteArray singleByte(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text)
        out.append(c.unicode() < 256 ? char(c.unicode()) : '?');
    return out;
}

class Writer {
public:
    void heading(const QString& h) { text(h); }
    // A space (or the minus sign) before the digits, a space after.
    void integer(qint64 v)
    {
        m_out += (v < 0 ? QByteArray("-") : QByteArray(" ")) + QByteArray::number(v < 0 ? -v : v) + ' ' + CrLf;
    }
    void text(const QString& t) { m_out += singleByte(t) + CrLf; }
    void raw(const QByteArray& bytes) { m_out += bytes; }
    QByteArray bytes() const { return m_out; }

private:
    QByteArray m_out;
};

} // namespace

QByteArray writeProfileFile(const Profile& p)
{
    const Profile fixed;
    Writer w;
    w.heading(TimersHeading);
    for (int i = 0; i < 16; ++i)
        w.integer(isEditedTimer(i) ? qint64(p.TimerValue[size_t(i)]) * 10 : fixed.TimerValue[size_t(i)]);
    w.heading(SystemValuesHeading);
    for (int i = 0; i < 28; ++i)
        w.integer(p.SysValue[size_t(i)]);
    for (int i = 28; i < 32; ++i)
        w.text(QStringLiteral("0"));
    w.heading(SwitchesHeading);
    for (int i = 0; i < 32; ++i) {
        if (isEditedSwitchRecord(i))
            w.integer(p.SwSwitch[size_t(i)]);
        else
            w.text(QStringLiteral("0"));
    }
    w.heading(MessagesHeading);
    for (int i = 0; i < 8; ++i) {
        if (!isEditedMessage(i)) {
            w.text(QString(16, QLatin1Char(' ')));
            continue;
        }
        QString m = p.MessageText[size_t(i)].leftJustified(16, QLatin1Char(' '));
        for (int k = 0; k < 16; ++k)
            if (m[k] == QLatin1Char(','))
                m[k] = QLatin1Char('~');
        w.text(m);
    }
    w.heading(SensorsHeading);
    for (int i = 0; i < 8; ++i) {
        if (i < 2)
            w.integer(p.AlogSensor[size_t(i)]);
        else
            w.text(QStringLiteral("0"));
    }
    w.heading(PinsHeading);
    for (int i = 0; i < 8; ++i)
        w.text(isEditedPin(i) ? p.PINtext[size_t(i)].rightJustified(4, QLatin1Char('0')) : QStringLiteral("0000"));
    w.heading(LedsHeading);
    for (int i = 0; i < 16; ++i)
        w.text(QStringLiteral("0"));
    w.heading(ProfileIdHeading);
    w.text(QString(8, QLatin1Char(' ')));
    w.heading(DateTimeHeading);
    w.text(QString(6, QLatin1Char(' ')));
    if (!p.Notes.isEmpty())
        w.text(p.Notes);
    return w.bytes();
}

namespace {

bool sameHeading(const QString& field, const QString& heading)
{
    const QString f = field.trimmed();
    if (f.compare(heading, Qt::CaseInsensitive) == 0)
        return true;
    // The LED heading is misspelled in the files; a corrected spelling is the same heading.
    return heading == LedsHeading && f.compare(QStringLiteral("Programmable LED's:"), Qt::CaseInsensitive) == 0;
}

// Reads the fixed part of a file section by section. Each section starts with
// its heading; a value that turns out to be the next heading means lines are
// missing, a heading found further on means lines are extra. Either way the
// reading goes on from the heading, so later sections are read in their
// right places.
class Parser {
public:
    explicit Parser(const QByteArray& contents) : m_in(contents) {}

    QList<FileProblem> problems;
    bool ended = false;

    void problem(int line, const QString& what) { problems.append({line, what}); }

    // The section heading; extra lines before it are skipped and reported.
    void heading(const QString& expected)
    {
        if (ended)
            return;
        const std::optional<QString> field = m_in.readText();
        if (!field) {
            endedAt(QStringLiteral("the heading \"%1\"").arg(expected));
            return;
        }
        if (sameHeading(*field, expected))
            return;
        const int firstLine = m_in.line();
        const QString found = *field;
        // Look further on for the heading.
        FieldReader ahead = m_in;
        while (const std::optional<QString> next = ahead.readText()) {
            if (sameHeading(*next, expected)) {
                problem(firstLine, QStringLiteral("lines %1 to %2 do not belong to the layout: the heading "
                                                  "\"%3\" was expected at line %1")
                                       .arg(firstLine).arg(ahead.line() - 1).arg(expected));
                m_in = ahead;
                return;
            }
        }
        // Nowhere to be found: take this line for it and go on.
        problem(firstLine, QStringLiteral("the heading \"%1\" was expected, found \"%2\"").arg(expected, found));
    }

    // The next value of a section, or nothing when the next heading (or the end)
    // comes first; `what` names the value for messages.
    std::optional<QString> value(const QString& nextHeading, const QString& what, int index, int count)
    {
        if (ended || m_sectionEnded)
            return std::nullopt;
        const FieldReader before = m_in;
        const std::optional<QString> field = m_in.readText();
        if (!field) {
            endedAt(what);
            return std::nullopt;
        }
        if (!nextHeading.isEmpty() && sameHeading(*field, nextHeading)) {
            problem(m_in.line(), QStringLiteral("the heading \"%1\" comes after only %2 of the %3 lines of its "
                                                "section; %4 was expected")
                                     .arg(nextHeading).arg(index).arg(count).arg(what));
            m_in = before;
            m_sectionEnded = true;
            return std::nullopt;
        }
        return field;
    }

    // A whole number within int range; a problem otherwise (0 is used).
    int number(const std::optional<QString>& field, const QString& what)
    {
        if (!field)
            return 0;
        const QString t = field->trimmed();
        if (t.isEmpty())
            return 0;
        bool ok = false;
        const qint64 v = t.toLongLong(&ok, 10);
        bool digits = ok;
        for (qsizetype i = 0; i < t.size() && digits; ++i)
            digits = t[i].unicode() < 128 && (t[i].isDigit() || (i == 0 && (t[i] == '-' || t[i] == '+')));
        if (!digits) {
            problem(m_in.line(), QStringLiteral("%1 should be a whole number, found \"%2\"").arg(what, *field));
            return 0;
        }
        if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) {
            problem(m_in.line(), QStringLiteral("%1 is %2, far outside any setting's range").arg(what).arg(v));
            return 0;
        }
        return int(v);
    }

    void startSection() { m_sectionEnded = false; }

    QStringList remainingLines() { return ended ? QStringList() : m_in.readRemainingLines(); }

private:
    void endedAt(const QString& what)
    {
        problem(m_in.line(), QStringLiteral("the file ends where %1 was expected").arg(what));
        ended = true;
    }

    FieldReader m_in;
    bool m_sectionEnded = false;
};

} // namespace

ProfileFileContents readProfileFile(const QByteArray& contents)
{
    ProfileFileContents out;
    Profile& p = out.profile;
    Parser in(contents);

    auto section = [&](const QString& heading, const QString& next, int count, const auto& each) {
        in.heading(heading);
        in.startSection();
        for (int i = 0; i < count; ++i)
            each(i, next);
    };

    section(TimersHeading, SystemValuesHeading, 16, [&](int i, const QString& next) {
        const QString what = QStringLiteral("timer %1 (tenths of a second)").arg(i);
        const auto field = in.value(next, what, i, 16);
        if (isEditedTimer(i))
            p.TimerValue[size_t(i)] = int(floorDiv(in.number(field, what), 10));
    });
    section(SystemValuesHeading, SwitchesHeading, 32, [&](int i, const QString& next) {
        const QString what = QStringLiteral("system value %1").arg(i);
        const auto field = in.value(next, what, i, 32);
        if (isEditedSysValue(i))
            p.SysValue[size_t(i)] = in.number(field, what);
    });
    section(SwitchesHeading, MessagesHeading, 32, [&](int i, const QString& next) {
        const QString what = QStringLiteral("the option number of switch %1").arg(i);
        const auto field = in.value(next, what, i, 32);
        if (isEditedSwitchRecord(i))
            p.SwSwitch[size_t(i)] = in.number(field, what);
    });
    section(MessagesHeading, SensorsHeading, 8, [&](int i, const QString& next) {
        const auto field = in.value(next, QStringLiteral("message %1").arg(i), i, 8);
        if (!field || !isEditedMessage(i))
            return;
        QString m = field->leftJustified(16, QLatin1Char(' '));
        for (int k = 0; k < 16; ++k)
            if (m[k] == QLatin1Char('~'))
                m[k] = QLatin1Char(',');
        p.MessageText[size_t(i)] = m;
    });
    section(SensorsHeading, PinsHeading, 8, [&](int i, const QString& next) {
        const QString what = QStringLiteral("the option number of sensor %1").arg(i);
        const auto field = in.value(next, what, i, 8);
        if (i < 2)
            p.AlogSensor[size_t(i)] = in.number(field, what);
    });
    section(PinsHeading, LedsHeading, 8, [&](int i, const QString& next) {
        const auto field = in.value(next, QStringLiteral("PIN %1").arg(i), i, 8);
        if (field && isEditedPin(i))
            p.PINtext[size_t(i)] = field->rightJustified(4, QLatin1Char('0'));
    });
    section(LedsHeading, ProfileIdHeading, 16, [&](int i, const QString& next) {
        in.value(next, QStringLiteral("LED value %1").arg(i), i, 16);
    });
    section(ProfileIdHeading, DateTimeHeading, 1, [&](int i, const QString& next) {
        in.value(next, QStringLiteral("the profile ID"), i, 1);
    });
    section(DateTimeHeading, QString(), 1, [&](int i, const QString& next) {
        in.value(next, QStringLiteral("the profile date/time"), i, 1);
    });
    p.Notes = in.remainingLines().join(QStringLiteral("\r\n"));
    out.problems = in.problems;
    return out;
}

QString describeProblems(const QString& fileName, const QList<FileProblem>& problems)
{
    QStringList lines;
    for (const FileProblem& f : problems)
        lines << QStringLiteral("%1, line %2: %3.").arg(QDir::toNativeSeparators(fileName)).arg(f.line).arg(f.what);
    return lines.join(QLatin1Char('\n'));
}

} // namespace gx
