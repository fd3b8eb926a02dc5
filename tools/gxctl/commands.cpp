// What each gxctl command does, with its output as text or JSON, through the program's own link and files.

#include "commands.h"

#include "link/protocol.h"
#include "link/timerreadout.h"
#include "monitor/lcd.h"
#include "monitor/quickstatus.h"
#include "monitor/statemessages.h"
#include "monitor/statussummary.h"
#include "profile/limits.h"
#include "profile/limitscheck.h"
#include "profile/profileimage.h"
#include "profile/profilefile.h"
#include "profile/tables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <optional>

namespace gxctl {

namespace {

void out(const QString& text)
{
    std::fputs(qPrintable(text + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

void outJson(const QJsonValue& v)
{
    out(QString::fromUtf8(v.isArray() ? QJsonDocument(v.toArray()).toJson(QJsonDocument::Compact)
                                      : QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact)));
}

int failed(Session& s)
{
    if (s.interrupted)
        printError(QStringLiteral("interrupted"));
    return Failure;
}

std::optional<gx::ProgramLimits> limitsFrom(const QString& given, bool required, QString* used = nullptr)
{
    QString error;
    std::optional<gx::ProgramLimits> limits;
    if (!given.isEmpty()) {
        QFile f(given);
        if (!f.open(QIODevice::ReadOnly))
            error = QStringLiteral("%1 cannot be read: %2.").arg(given, f.errorString());
        else
            limits = gx::readProgramLimits(f.readAll(), given, &error);
        if (used)
            *used = given;
    } else {
        limits = gx::loadProgramLimits(QDir::currentPath(), &error, used);
    }
    if (!limits && required)
        printError(error);
    return limits;
}

// The profile of a file, whole, or nothing (its problems said).
std::optional<gx::Profile> readFile(Session& s, const QString& path)
{
    QString why;
    const auto bytes = s.files.read(path, &why);
    if (!bytes) {
        printError(QStringLiteral("%1 cannot be read: %2").arg(path, why));
        return std::nullopt;
    }
    const gx::ProfileFileContents c = gx::readProfileFile(*bytes);
    if (!c.ok()) {
        printError(QStringLiteral("%1 is not a profile file the program can read:\n").arg(path)
                   + gx::describeProblems(path, c.problems));
        return std::nullopt;
    }
    return c.profile;
}

void useFraming(Session& s, const Invocation& in)
{
    s.link.NetworkMode = in.options.isSet(QStringLiteral("node"));
    s.link.Address = in.options.value(QStringLiteral("node")).toInt();
}

// The controller's working profile: the image, and on the direct line the notes.
std::optional<gx::Profile> uploadFrom(Session& s, const Invocation& in)
{
    useFraming(s, in);
    s.link.uploadProfile();
    if (!s.link.ProgStatus.isEmpty())
        return std::nullopt;
    if (s.link.NetworkMode) {
        printError(QStringLiteral("note: the notes travel only on the direct line; they are not part of a network upload"));
        return gx::workingFromUpload(s.link.uploadedProfile, QByteArray());
    }
    s.link.uploadProfileText();
    if (!s.link.ProgStatus.isEmpty())
        return std::nullopt;
    return gx::workingFromUpload(s.link.uploadedProfile, s.link.TextReply);
}

QString report(const gx::ValueAdjustment& a)
{
    if (a.controllerValue == a.shownValue)
        return QStringLiteral("%1 has %2").arg(a.setting, a.controllerValue);
    return QStringLiteral("%1 is %2, outside what limits.txt allows (the program would show %3)")
        .arg(a.setting, a.controllerValue.trimmed(), a.shownValue.trimmed());
}

} // namespace

int identify(Session& s, const Invocation& in)
{
    useFraming(s, in);
    s.link.uploadID();
    if (!s.link.ProgStatus.isEmpty())
        return failed(s);
    if (in.json)
        outJson(QJsonObject{{"id", s.link.ID}, {"model", s.link.Instrument}, {"firmware", s.link.FirmVersion}});
    else
        out(QStringLiteral("ID:       %1\nModel:    %2\nFirmware: %3").arg(s.link.ID, s.link.Instrument).arg(s.link.FirmVersion));
    return Success;
}

int status(Session& s, const Invocation& in)
{
    useFraming(s, in);
    s.link.uploadID();
    if (!s.link.ProgStatus.isEmpty())
        return failed(s);
    s.link.uploadProfile();
    if (!s.link.ProgStatus.isEmpty())
        return failed(s);
    if (!s.link.NetworkMode)
        s.port.setInputMode(gx::SerialPort::BinaryMode);

    const bool watching = in.options.isSet(QStringLiteral("watch"));
    const double every = in.options.value(QStringLiteral("watch")).toDouble();
    const QString csvPath = in.options.value(QStringLiteral("csv"));
    QFile csv(csvPath);
    if (!csvPath.isEmpty()) {
        const bool fresh = !QFileInfo::exists(csvPath) || QFileInfo(csvPath).size() == 0;
        if (!csv.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
            printError(QStringLiteral("%1 cannot be written: %2").arg(csvPath, csv.errorString()));
            return Failure;
        }
        if (fresh)
            csv.write((gx::csvHeader() + QLatin1Char('\n')).toUtf8());
        csv.flush();
    }

    gx::StatusRecord record;
    gx::TimerReadout timers;
    const gx::ScreenSetup setup =
        gx::UpdateScreenVariables(s.link.uploadedProfile, gx::InputFunctionText, gx::OutputFunctionText);
    bool keepGoing = true;
    int toggle = 0;
    int result = Success;
    do {
        const double started = s.clock.now();
        const gx::Link::Fetch fetch = s.link.fetchMonitorStatus(keepGoing);
        if (s.interrupted)
            break;
        if (fetch != gx::Link::Fetch::Ok) {
            printError(QStringLiteral("Communication error: Status upload"));
            result = Failure;
        } else {
            result = Success;
            record.decode(s.link.StatusImage, s.link.NetworkMode);
            const gx::PollContext ctx{s.link.NetworkMode, s.link.FirmVersion, setup.ATSsupport};
            toggle = 1 - toggle;
            const gx::PollView view =
                gx::buildPollView(record, s.link.StatusImage, ctx, s.link.uploadedProfile, toggle, true, timers);
            const gx::StatusSummary sum =
                gx::summarize(record, s.link.StatusImage, view, s.link.uploadedProfile, s.link.NetworkMode);
            if (csv.isOpen()) {
                csv.write((gx::csvRow(QDateTime::currentDateTime(), sum) + QLatin1Char('\n')).toUtf8());
                csv.flush();  // a crash loses at most the row being written
            }
            if (in.json) {
                outJson(gx::statusJson(sum));
            } else if (!csv.isOpen() || !watching) {
                out(QStringLiteral("State:        %1 (%2)\n"
                                   "LCD:          %3\n"
                                   "              %4\n"
                                   "Generator:    %5 / %6 / %7 V   %8 / %9 / %10 A   %11 Hz\n")
                        .arg(sum.stateText, sum.mode, sum.lcdTop, sum.lcdBottom)
                        .arg(sum.volts[0]).arg(sum.volts[1]).arg(sum.volts[2])
                        .arg(sum.amps[0]).arg(sum.amps[1]).arg(sum.amps[2]).arg(sum.frequency)
                    + QStringLiteral("Oil pressure: %1 psi\nEngine temp.: %2 C\nBattery:      %3 V\n"
                                     "Engine speed: %4 rpm\nHours run:    %5\nFault:        %6")
                          .arg(sum.oilPressure).arg(sum.engineTemperature).arg(sum.battery, 0, 'f', 1)
                          .arg(sum.engineSpeed).arg(sum.hoursRun, 0, 'f', 2)
                          .arg(sum.faultCode ? QStringLiteral("%1 (%2)").arg(sum.faultText).arg(sum.faultCode)
                                             : QStringLiteral("none")));
                if (watching)
                    out(QString());
            }
        }
        if (watching)
            s.waiter.pause(std::max(0.0, every - (s.clock.now() - started)));
    } while (watching && !s.interrupted);
    return s.interrupted && !watching ? failed(s) : result;
}

int upload(Session& s, const Invocation& in)
{
    const QString path = in.options.value(QStringLiteral("o"));
    const auto working = uploadFrom(s, in);
    if (!working)
        return failed(s);
    if (const auto limits = limitsFrom(QString(), false))
        for (const gx::ValueAdjustment& a : gx::checkAgainstLimits(*working, *limits))
            printError(QStringLiteral("note: ") + report(a));
    QString why;
    if (!s.files.write(path, gx::writeProfileFile(*working), &why)) {
        printError(QStringLiteral("the profile could not be saved to %1: %2").arg(path, why));
        return Failure;
    }
    if (s.status.verbose)
        printError(QStringLiteral("Profile stored"));
    return Success;
}

int download(Session& s, const Invocation& in)
{
    const QString path = in.arguments.value(0);
    const auto working = readFile(s, path);
    if (!working)
        return Failure;
    // Without limits.txt nothing would check the values: refused, unless the
    // user says so with --no-limits.
    QString limitsError;
    const auto limits = in.options.isSet(QStringLiteral("no-limits"))
                            ? std::nullopt
                            : gx::loadProgramLimits(QDir::currentPath(), &limitsError);
    if (!limits && !in.options.isSet(QStringLiteral("no-limits"))) {
        printError(limitsError);
        printError(QStringLiteral("the profile cannot be downloaded without limits.txt to check its values; "
                                  "nothing has been sent (--no-limits downloads it unchecked)"));
        return Failure;
    }
    if (limits) {
        const auto outside = gx::checkAgainstLimits(*working, *limits);
        if (!outside.isEmpty()) {
            for (const gx::ValueAdjustment& a : outside)
                printError(report(a));
            printError(QStringLiteral("the profile cannot be downloaded; nothing has been sent"));
            return Failure;
        }
    }
    QString problem;
    const auto data = gx::Link::prepareDownload(*working, &problem);
    if (!data) {
        printError(QStringLiteral("the profile cannot be downloaded: %1; nothing has been sent").arg(problem));
        return Failure;
    }
    return s.link.downloadProfile(data->image, data->text) == gx::Link::Download::Ok ? Success : failed(s);
}

int check(Session& s, const Invocation& in)
{
    const QString path = in.arguments.value(0);
    QString why;
    const auto bytes = s.files.read(path, &why);
    if (!bytes) {
        printError(QStringLiteral("%1 cannot be read: %2").arg(path, why));
        return Failure;
    }
    const gx::ProfileFileContents c = gx::readProfileFile(*bytes);
    int problems = int(c.problems.size());
    if (problems)
        out(gx::describeProblems(path, c.problems));
    QString limitsPath;
    const auto limits = limitsFrom(in.options.value(QStringLiteral("limits")), true, &limitsPath);
    if (!limits)
        return Failure;
    if (c.ok())
        for (const gx::ValueAdjustment& a : gx::checkAgainstLimits(c.profile, *limits)) {
            out(QStringLiteral("%1: ").arg(QDir::toNativeSeparators(path)) + report(a));
            ++problems;
        }
    if (problems == 0)
        out(QStringLiteral("%1: follows the layout, every value within %2").arg(QDir::toNativeSeparators(path), limitsPath));
    return problems == 0 ? Success : Failure;
}

int diff(Session& s, const Invocation& in)
{
    std::optional<gx::Profile> sides[2];
    for (int i = 0; i < 2; ++i) {
        const QString what = in.arguments.value(i);
        sides[i] = what == QLatin1String("controller") ? uploadFrom(s, in) : readFile(s, what);
        if (!sides[i]) {
            failed(s);
            return Trouble;
        }
    }
    const auto limits = limitsFrom(QString(), false).value_or(gx::ProgramLimits{});
    struct Slot {
        gx::SlotKind kind;
        int index;
    };
    QList<Slot> compared;
    for (int i = 0; i < 16; ++i)
        if (gx::isEditedTimer(i))
            compared.append({gx::SlotKind::Timer, i});
    for (int i = 0; i < 28; ++i)
        compared.append({gx::SlotKind::SysValue, i});
    for (int i = 0; i < 34; ++i)
        if (gx::isEditedSwitchRecord(i))
            compared.append({gx::SlotKind::Switch, i});
    for (int i = 0; i < 6; ++i)
        compared.append({gx::SlotKind::Message, i});
    for (int i = 0; i < 4; ++i)
        compared.append({gx::SlotKind::Pin, i});
    compared.append({gx::SlotKind::Notes, 0});
    QJsonArray json;
    bool differ = false;
    for (const Slot& slot : compared) {
        const QString a = gx::displayValue(slot.kind, slot.index, *sides[0], limits);
        const QString b = gx::displayValue(slot.kind, slot.index, *sides[1], limits);
        if (a == b)
            continue;
        differ = true;
        const QString name = gx::settingLabel(slot.kind, slot.index);  // the values carry their units
        if (in.json)
            json.append(QJsonObject{{"setting", name}, {"a", a}, {"b", b}});
        else if (slot.kind == gx::SlotKind::Notes)
            out(name + QStringLiteral("\n  < ") + QString(a).replace(QStringLiteral("\r\n"), QStringLiteral("\n  < "))
                + QStringLiteral("\n  > ") + QString(b).replace(QStringLiteral("\r\n"), QStringLiteral("\n  > ")));
        else
            out(QStringLiteral("%1  %2  ->  %3").arg(name, a.trimmed(), b.trimmed()));
    }
    if (in.json)
        outJson(json);
    return differ ? Failure : Success;
}

int scan(Session& s, const Invocation& in)
{
    s.link.NetworkMode = true;
    QJsonArray json;
    for (int node = 1; node <= 15 && !s.interrupted; ++node) {
        s.link.Address = node;
        if (!s.link.exchange(gx::SerialPort::BinaryMode, gx::replylen::NetQuickStatus, s.link.GotQuickStatus,
                             gx::net::readInputFrame(node, 0, 2), gx::timeout::NodeProbe))
            continue;
        const QByteArray& r = s.link.NetReply;
        const int fault = r.size() > 4 ? quint8(r[4]) : 0;
        const int state = r.size() > 6 ? quint8(r[6]) : 0;
        const QString text = gx::quickStatus(fault, state).text.value_or(gx::stateName(state));
        if (in.json)
            json.append(QJsonObject{{"node", node}, {"state", state}, {"fault_code", fault}, {"status", text}});
        else
            out(QStringLiteral("node %1: %2 (state %3, fault %4)").arg(node, 2).arg(text).arg(state).arg(fault));
    }
    if (in.json)
        outJson(json);
    return s.interrupted ? failed(s) : Success;
}

} // namespace gxctl
