// Writing the profile file line by line, and reading it by position or heading by heading, listing every fault.

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
        // A message that starts with a double quote goes between quotes of
        // its own, or the reader would take its first quote for an opening one.
        if (QStringView(m).trimmed().startsWith(QLatin1Char('"')))
            m = QLatin1Char('"') + m + QLatin1Char('"');
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

namespace {

// The lines of a file: ended by CR LF, LF or CR; a last line without its end counts.
QStringList fileLines(const QByteArray& contents)
{
    FieldReader in(contents);
    return in.readRemainingLines();
}

// A message line: leading blanks skipped, as for any field. A line that is
// wholly in double quotes (blanks after the closing one aside) is the text
// inside them, commas included; any other line is the text as it stands, a
// quote at its start included.
QString messageField(const QString& line)
{
    QStringView t(line);
    while (t.startsWith(QLatin1Char(' ')))
        t = t.mid(1);
    QStringView closed = t;
    while (closed.endsWith(QLatin1Char(' ')))
        closed.chop(1);
    if (closed.size() >= 2 && closed.startsWith(QLatin1Char('"')) && closed.endsWith(QLatin1Char('"')))
        return closed.mid(1, closed.size() - 2).toString();
    return t.toString();
}

// The first line of each section, counted from 0, as the writer lays them out.
struct HeadingAt {
    int line;
    const QString* heading;
};
const HeadingAt Layout[] = {{0, &TimersHeading},   {17, &SystemValuesHeading}, {50, &SwitchesHeading},
                            {83, &MessagesHeading}, {92, &SensorsHeading},      {101, &PinsHeading},
                            {110, &LedsHeading},    {127, &ProfileIdHeading},   {129, &DateTimeHeading}};
constexpr int FixedLines = 131;

} // namespace

// A file whose every heading stands on its own line of the layout is read by
// position: each value from its line, whatever it holds (a message that reads
// "Analog sensors:" is a message there). Nothing otherwise; the reader that
// looks for the headings then says where the file breaks the layout.
static std::optional<ProfileFileContents> readByPosition(const QByteArray& contents)
{
    const QStringList lines = fileLines(contents);
    if (lines.size() < FixedLines)
        return std::nullopt;
    for (const HeadingAt& h : Layout)
        if (!sameHeading(lines[h.line], *h.heading))
            return std::nullopt;
    ProfileFileContents out;
    Profile& p = out.profile;
    // One value a line: the line's field, and a problem when it holds more.
    auto field = [&](int line, const QString& what) {
        FieldReader in(lines[line].toLatin1());
        const QString value = in.readText().value_or(QString());
        if (!in.atEnd())
            out.problems.append({line + 1, QStringLiteral("%1 should stand alone on its line, found \"%2\"")
                                               .arg(what, lines[line])});
        return value;
    };
    auto number = [&](int line, const QString& what) {
        const QString f = field(line, what);
        const QString t = f.trimmed();
        bool ok = t.isEmpty();
        qint64 v = 0;
        if (!ok) {
            v = t.toLongLong(&ok, 10);
            for (qsizetype i = 0; i < t.size() && ok; ++i)
                ok = t[i].unicode() < 128 && (t[i].isDigit() || (i == 0 && (t[i] == '-' || t[i] == '+')));
        }
        if (!ok) {
            out.problems.append({line + 1, QStringLiteral("%1 should be a whole number, found \"%2\"").arg(what, f)});
            return 0;
        }
        if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) {
            out.problems.append({line + 1, QStringLiteral("%1 is %2, far outside any setting's range").arg(what).arg(v)});
            return 0;
        }
        return int(v);
    };
    for (int i = 0; i < 16; ++i) {
        const QString what = QStringLiteral("timer %1 (tenths of a second)").arg(i);
        const int v = number(1 + i, what);
        if (isEditedTimer(i))
            p.TimerValue[size_t(i)] = int(floorDiv(v, 10));
    }
    for (int i = 0; i < 28; ++i)
        p.SysValue[size_t(i)] = number(18 + i, QStringLiteral("system value %1").arg(i));
    for (int i = 0; i < 32; ++i)
        if (isEditedSwitchRecord(i))
            p.SwSwitch[size_t(i)] = number(51 + i, QStringLiteral("the option number of switch %1").arg(i));
    for (int i = 0; i < 6; ++i) {
        QString m = messageField(lines[84 + i]).leftJustified(16, QLatin1Char(' '));
        for (int k = 0; k < 16; ++k)
            if (m[k] == QLatin1Char('~'))
                m[k] = QLatin1Char(',');
        p.MessageText[size_t(i)] = m;
    }
    for (int i = 0; i < 2; ++i)
        p.AlogSensor[size_t(i)] = number(93 + i, QStringLiteral("the option number of sensor %1").arg(i));
    for (int i = 0; i < 4; ++i)
        p.PINtext[size_t(i)] = field(102 + i, QStringLiteral("PIN %1").arg(i)).rightJustified(4, QLatin1Char('0'));
    p.Notes = lines.mid(FixedLines).join(QStringLiteral("\r\n"));
    return out;
}

ProfileFileContents readProfileFile(const QByteArray& contents)
{
    if (std::optional<ProfileFileContents> byPosition = readByPosition(contents))
        return *byPosition;
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
