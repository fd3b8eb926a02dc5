#include "targets.h"

#include "link/link.h"
#include "monitor/lcd.h"
#include "monitor/quickstatus.h"
#include "monitor/fleetboard.h"
#include "monitor/statemessages.h"
#include "monitor/statusrecord.h"
#include "monitor/statussummary.h"
#include "link/timerreadout.h"
#include "profile/fieldreader.h"
#include "profile/limits.h"
#include "profile/limitscheck.h"
#include "profile/printout.h"
#include "profile/profile.h"
#include "profile/profilefile.h"
#include "profile/profileimage.h"
#include "remote/addressbook.h"
#include "remote/calllog.h"

#include <QByteArray>

#include <cstdlib>
#include <cstring>

namespace gxfuzz {

namespace {

QByteArray bytes(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

void require(bool ok)
{
    if (!ok)
        std::abort();
}

bool sameProfile(const gx::Profile& a, const gx::Profile& b)
{
    return a.TimerValue == b.TimerValue && a.SysValue == b.SysValue && a.SwSwitch == b.SwSwitch
        && a.MessageText == b.MessageText && a.AlogSensor == b.AlogSensor && a.PINtext == b.PINtext
        && a.Notes == b.Notes;
}

} // namespace

int fieldReader(const std::uint8_t* data, std::size_t size)
{
    gx::FieldReader in(bytes(data, size));
    int fields = 0;
    int lastLine = 1;
    while (!in.atEnd() && fields < 100000) {
        const bool asNumber = (fields % 3) == 1;
        if (asNumber)
            in.readNumber();
        else
            require(in.readText().has_value());
        require(in.line() >= lastLine);  // lines only go forward
        lastLine = in.line();
        ++fields;
        if (fields % 7 == 0)
            in.readRemainingLines();
    }
    require(!in.readText().has_value() && in.pastEnd());
    return 0;
}

int limits(const std::uint8_t* data, std::size_t size)
{
    QString error;
    const auto l = gx::readProgramLimits(bytes(data, size), QStringLiteral("limits.txt"), &error);
    require(l.has_value() == error.isEmpty());
    if (l) {
        // What the editor relies on: every default within its range, every
        // default option one of its options.
        for (int i = 0; i < 40; ++i)
            if (gx::isEditedSwitchRecord(i))
                require(l->SwitchLimit[size_t(i)].SwDefault >= 0
                        && l->SwitchLimit[size_t(i)].SwDefault < l->SwitchLimit[size_t(i)].OptionLabel.size());
        for (int i = 0; i < 28; ++i) {
            const auto r = gx::sysValueRange(*l, i);
            require(r.low <= l->SysValLimit[size_t(i)].SysValDefault && l->SysValLimit[size_t(i)].SysValDefault <= r.high);
        }
    } else {
        require(error.contains(QStringLiteral("limits.txt, line ")));
    }
    return 0;
}

int profileFile(const std::uint8_t* data, std::size_t size)
{
    const gx::ProfileFileContents c = gx::readProfileFile(bytes(data, size));
    require(!gx::describeProblems(QStringLiteral("f.520"), c.problems).isEmpty() == !c.ok());
    if (!c.ok())
        return 0;
    // A whole file written again reads back the same profile. Messages as the
    // editor holds them (at most 16 characters, no quote in front) are meant;
    // the notes' line ends may change kind.
    for (const QString& m : c.profile.MessageText)
        if (m.size() > 16 || m.startsWith(QLatin1Char('"')))
            return 0;
    for (const QString& pin : c.profile.PINtext)
        if (pin.contains(QLatin1Char(',')) || pin.startsWith(QLatin1Char('"')))
            return 0;
    const gx::ProfileFileContents again = gx::readProfileFile(gx::writeProfileFile(c.profile));
    require(again.ok());
    gx::Profile expected = c.profile, got = again.profile;
    for (int i = 0; i < 6; ++i) {
        for (QString* m : {&expected.MessageText[size_t(i)], &got.MessageText[size_t(i)]}) {
            while (m->startsWith(QLatin1Char(' ')))
                m->remove(0, 1);
            *m = m->leftJustified(16, QLatin1Char(' '));
        }
    }
    for (gx::Profile* p : {&expected, &got}) {
        p->Notes.clear();
        for (int i = 0; i < 4; ++i)  // a PIN of blanks reads back shorter than it was typed
            p->PINtext[size_t(i)] = p->PINtext[size_t(i)].trimmed();
    }
    require(sameProfile(expected, got));
    return 0;
}

int status(const std::uint8_t* data, std::size_t size)
{
    gx::StatusImage image{};
    std::memcpy(image.data(), data, std::min<std::size_t>(size, 67));
    const gx::Profile uploaded = gx::decodeProfileImage(bytes(data, size).mid(67));
    for (bool network : {false, true}) {
        gx::StatusRecord r;
        r.decode(image, network);
        require(r.EngSpeed <= 4500);
        require(r.GenV1 == 0 || r.GenV1 >= 20);
        gx::TimerReadout timers;
        const gx::PollContext ctx{network, size > 70 ? data[70] / 10.0 : 2.01, size > 71 ? data[71] % 2 : 0};
        const gx::PollView v = gx::buildPollView(r, image, ctx, uploaded, int(size % 2), true, timers);
        const gx::StatusSummary s = gx::summarize(r, image, v, uploaded, network);
        const QString row = gx::csvRow(QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC), s);
        require(gx::csvFields(row).size() == gx::csvFields(gx::csvHeader()).size());
    }
    // The network monitor's status of a node from its quick-status reply.
    if (size >= 7)
        (void)gx::quickStatus(data[4], data[6]);
    return 0;
}

int identification(const std::uint8_t* data, std::size_t size)
{
    const QString id = QString::fromLatin1(bytes(data, size));
    const QString model = gx::instrumentOf(id);
    require(model.isEmpty() || model.startsWith(QStringLiteral("GX")));
    const double v = gx::firmwareVersion(id);
    require(v >= 0.0 && v == v);  // never negative, never NaN
    return 0;
}

int profileImage(const std::uint8_t* data, std::size_t size)
{
    const gx::Profile p = gx::decodeProfileImage(bytes(data, size));
    gx::Profile working = gx::workingFromUpload(p, bytes(data, size).mid(310));
    QString why;
    const auto image = gx::encodeProfileImage(working, &why);
    require(image.has_value() == why.isEmpty());
    if (image)
        require(image->size() == gx::ProfileImageSize);
    const auto text = gx::encodeProfileText(working.Notes, &why);
    if (text)
        require(text->size() == gx::ProfileTextDownloadSize);
    return 0;
}

int printData(const std::uint8_t* data, std::size_t size)
{
    QString error;
    const auto d = gx::readPrintData(bytes(data, size), QStringLiteral("print_data.txt"), &error);
    require(d.has_value() == error.isEmpty());
    if (d) {
        const gx::PrintDocument doc =
            gx::profilePrintout(gx::Profile{}, gx::ProgramLimits{}, *d, QDateTime::fromSecsSinceEpoch(0, Qt::UTC));
        require(doc.pages.size() == 2);
    }
    return 0;
}

int callLog(const std::uint8_t* data, std::size_t size)
{
    const QByteArray file = bytes(data, size);
    const QStringList before = gx::calllog::recordLines(file);
    for (const QString& line : before)
        (void)gx::calllog::columns(line);
    const QByteArray after = gx::calllog::withNewRecord(file, QStringLiteral("Site"), QDateTime::fromSecsSinceEpoch(0, Qt::UTC),
                                                        QStringLiteral("000001.00"), QStringLiteral("Fault"));
    const QStringList lines = gx::calllog::recordLines(after);
    // Nothing is lost: every record read before is still there, under the new one.
    require(lines.size() == before.size() + 1 && lines.mid(1) == before.mid(0, lines.size() - 1)
            && after.endsWith("EOF\r\n"));
    return 0;
}

int addressBook(const std::uint8_t* data, std::size_t size)
{
    const auto entries = gx::addressbook::read(bytes(data, size));
    const QByteArray written = gx::addressbook::write(entries);
    require(written.endsWith("EOF\r\n"));
    require(gx::addressbook::read(written).size() >= 0);
    return 0;
}

int stateMessage(const std::uint8_t* data, std::size_t size)
{
    const QByteArray payload = bytes(data, size);
    // What is read is written back the same.
    if (const auto m = gx::readStateMessage(payload)) {
        const auto again = gx::readStateMessage(gx::stateMessage(m->status, m->time));
        require(again && gx::statusJson(again->status) == gx::statusJson(m->status));
    }
    if (const auto f = gx::readFaultMessage(payload)) {
        const auto again = gx::readFaultMessage(gx::faultMessage(*f));
        require(again && again->code == f->code && again->text == f->text && again->came == f->came);
    }
    if (const auto i = gx::readInfoMessage(payload)) {
        const auto again = gx::readInfoMessage(gx::infoMessage(*i));
        require(again && again->model == i->model && again->firmware == i->firmware && again->unitId == i->unitId
                && again->siteName == i->siteName && again->commands == i->commands);
    }
    // The fleet board: a topic on the first line, the payload after it. The
    // board takes what its reader reads and counts the rest, nothing else.
    const qsizetype newline = payload.indexOf('\n');
    const QString topic = QString::fromUtf8(newline < 0 ? QByteArray() : payload.left(newline));
    const QByteArray message = newline < 0 ? payload : payload.mid(newline + 1);
    gx::FleetBoard board;
    const bool taken = board.take(topic, message, QDateTime::fromSecsSinceEpoch(1796000000, Qt::UTC));
    require(taken == gx::readFleetMessage(QStringLiteral("gx520"), topic, message).has_value());
    require(board.ignored() == (taken ? 0 : 1) && board.size() <= 1);
    // The service-reminder file: what is read is written back the same.
    if (const auto r = gx::readRemindersFile(payload))
        require(gx::readRemindersFile(gx::remindersFile(*r)) == *r);
    return 0;
}

Target byName(const std::string& name)
{
    static const struct {
        const char* name;
        Target target;
    } table[] = {{"fieldreader", fieldReader}, {"limits", limits}, {"profilefile", profileFile},
                 {"status", status}, {"identification", identification}, {"profileimage", profileImage},
                 {"printdata", printData}, {"calllog", callLog}, {"addressbook", addressBook},
                 {"statemessage", stateMessage}};
    for (const auto& t : table)
        if (name == t.name)
            return t.target;
    return nullptr;
}

} // namespace gxfuzz
