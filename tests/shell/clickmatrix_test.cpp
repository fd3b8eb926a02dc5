// Every long operation, stopped in each of its waits, against every control a
// user can reach then: the window's menus, the Quick Launch buttons, the
// buttons of the screen that shows, the dialogs left open and the window's
// close box. For each the operation is run afresh and that one control is
// clicked at that moment. Nothing may reach the controller that the operation
// does not send itself, the outcome shown must be the true one, and once all
// is over exactly one screen shows with the menus setMenus gives. The matrix
// is printed as a table.

#include "shellfixture.h"

#include "profile/profileimage.h"
#include "remote/calllogscreen.h"
#include "remote/formaddressbook.h"
#include "remote/formsettings.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QRadioButton>
#include <QRegularExpression>

#include <cstdio>
#include <memory>

using namespace gx;
using namespace gx::test;

namespace {

struct Rig : ShellFixture {
    QTemporaryDir dir;
    std::unique_ptr<FakeController> ctl;
    bool remote;

    Rig(bool remoteLine, const QString& id, QList<int> nodes) : remote(remoteLine)
    {
        if (remote) {
            settings.useRemote("2");
            settings.setSetting("ModemInit", "ATZE1V1X0S0=0");
        } else {
            settings.useLocal();
        }
        installProgram(window);
        window.Form_Load();
        window.ProgramDirectory = dir.path();
        window.show();
        const auto image = encodeProfileImage(program().editor().workingProfile(), nullptr);
        ctl = std::make_unique<FakeController>(port, clock, image.value_or(QByteArray(310, '\0')));
        ctl->id = id.isEmpty() ? QStringLiteral("GX510 V2.01     ") : id;
        ctl->nodes = nodes;
        if (remote)
            ctl->behindModem();
    }
    ProgramMode& program() { return *window.findChild<ProgramMode*>(); }
    Monitoring& monitoring() { return *window.findChild<Monitoring*>(); }
    RemoteAccess& access() { return *window.findChild<RemoteAccess*>(); }
    QString last() const { return ctl->requests.value(ctl->requests.size() - 1); }
    QString logStatus() { return access().logScreen().TextLogStatus->text(); }
};

// One control: its name, whether a user can reach it now, and its click.
struct Control {
    QString name;
    std::function<bool()> live;
    std::function<void()> click;
};

std::vector<Control> controls(Rig& r)
{
    std::vector<Control> out;
    FormMonitor& w = r.window;
    for (QMenu* m : {w.FileMenu, w.menuView, w.menuSettings, w.menuModem, w.menuHelp})
        for (QAction* a : m->actions())
            if (!a->isSeparator())
                out.push_back({a->objectName(), [a, m] { return a->isEnabled() && m->menuAction()->isEnabled(); },
                               [a] { a->trigger(); }});
    // Buttons of the window and of its open dialogs; of a row of like buttons
    // (the network monitor's per node) the first one stands for all.
    QList<QWidget*> roots{&w};
    for (QWidget* d : {static_cast<QWidget*>(r.access().settingsDialog()), static_cast<QWidget*>(r.access().dialupDialog()),
                       static_cast<QWidget*>(r.access().addressBook())})
        if (d)
            roots << d;
    QStringList families;
    for (QWidget* root : roots)
        for (QAbstractButton* b : root->findChildren<QAbstractButton*>()) {
            if (qobject_cast<QCheckBox*>(b) || qobject_cast<QRadioButton*>(b) || b->objectName().isEmpty()
                || b->window() != root)
                continue;
            const QString family = b->objectName().section('(', 0, 0);
            if (b->parentWidget() && r.window.FrameNetMonitor->isAncestorOf(b)) {
                if (families.contains(family))
                    continue;
                families << family;
            }
            QPointer<QAbstractButton> p = b;
            const QString name = root == &w ? b->objectName() : root->objectName() + '.' + b->objectName();
            out.push_back({name, [p] { return p && p->isEnabled() && p->isVisible(); },
                           [p] { p->click(); }});
        }
    out.push_back({"close box", [] { return true; }, [&w] { w.close(); }});
    return out;
}

struct Row {
    const char* operation;
    const char* waitingIn;
    bool remote = false;
    QString id;  // the controller's identification; "" a GX510
    QList<int> nodes;
    std::function<void(Rig&)> prepare;
    std::function<void(Rig&)> start;
    std::function<bool(Rig&)> at;
    // Request kinds the operation itself sends (prefixes).
    QStringList sends;
    // "" when what the window shows is the truth, else what is wrong.
    std::function<QString(Rig&)> outcome = [](Rig&) { return QString(); };
};

// A way out of an open-ended operation once the click has had its chance:
// the monitors get Main Menu or Quit after a few turns, the answer loop takes
// one call, hangs it up and quits.
void keepGoing(Rig& r, bool clicked)
{
    Monitoring& m = r.monitoring();
    FormMonitor& w = r.window;
    if (clicked && w.StatusUpdate && m.polls > 8 && w.menuMain->isEnabled())
        w.menuMain->trigger();
    if (clicked && !w.FrameNetMonitor->isHidden() && m.passes > 6 && m.network().CommandMonitorNetwork->isEnabled())
        m.network().CommandMonitorNetwork->click();
    if (w.operation() == Operation::AnswerLoop) {
        CallLogScreen& log = r.access().logScreen();
        if (r.logStatus() == "Awaiting incoming calls..." && !r.ctl->ringing && r.ctl->requests.filter("AT:ATA").isEmpty())
            r.ctl->call();
        else if (r.logStatus() == "Awaiting incoming calls..." && clicked)
            log.CommandQuitLog->click();
        if (clicked && !log.FrameGoMonitor->isHidden())
            log.CommandHangup->click();
    }
}

struct Cell {
    QStringList live;
    QString fault;
};

QString oneScreenAndItsMenus(Rig& r)
{
    FormMonitor& w = r.window;
    const int shown = screensShown(w);
    if (shown != 1)
        return QStringLiteral("%1 screens show").arg(shown);
    auto snapshot = [&] {
        QStringList s;
        for (QMenu* m : {w.FileMenu, w.menuView, w.menuSettings, w.menuModem}) {
            QList<QAction*> all = m->actions();
            all << m->menuAction();
            for (QAction* a : all)
                s << QStringLiteral("%1:%2%3").arg(a->objectName()).arg(a->isEnabled()).arg(a->isChecked());
        }
        for (QPushButton* b : {w.CommandLogCalls, w.CommandMonitor, w.CommandProgram, w.CommandFleet})
            s << QStringLiteral("%1:%2").arg(b->objectName()).arg(b->isEnabled());
        return s;
    };
    const QStringList before = snapshot();
    w.setMenus();
    const QStringList after = snapshot();
    for (int i = 0; i < before.size(); ++i)
        if (before[i] != after[i])
            return QStringLiteral("menu %1, setMenus gives %2").arg(before[i], after[i]);
    return {};
}

// Runs the row once, clicking `control` (by name; none for "") at its wait.
Cell run(const Row& row, const QString& control)
{
    Rig r(row.remote, row.id, row.nodes);
    if (row.prepare)
        row.prepare(r);
    Cell cell;
    bool clicked = false, busy = false, reached = false;
    int duringOperation = 0;  // requests sent while the operation ran
    const int before = int(r.ctl->requests.size());
    // What the operation sends, up to its end: what runs after it (a way out
    // it deferred) is an operation of its own.
    bool ended = false;
    r.window.fenceHooks.push_back([&](Operation op) {
        if (op == Operation::None && reached)
            ended = true;
    });
    const double started = r.clock.now();
    bool runaway = false;
    int mostScreens = 1;  // at any moment, not only at the end
    r.waiter.onYield = [&] {
        if (busy)
            return;
        busy = true;
        if (r.clock.now() - started > 900 && !runaway) {  // a loop nothing ended
            runaway = true;
            r.window.StatusUpdate = false;
            r.waiter.setClosing();
        }
        if (r.window.operation() != Operation::None && !ended)
            duringOperation = int(r.ctl->requests.size());
        mostScreens = std::max(mostScreens, screensShown(r.window));
        if (!clicked && row.at(r)) {
            clicked = reached = true;
            for (const Control& c : controls(r))
                if (c.live()) {
                    cell.live << c.name;
                    if (c.name == control)
                        c.click();
                }
        }
        keepGoing(r, clicked);
        busy = false;
    };
    row.start(r);
    r.waiter.onYield = nullptr;
    if (!reached)
        return {{}, QStringLiteral("never waited there: ") + r.ctl->requests.join(", ") + " / " + statusMessage(r.window, true)};
    QStringList faults;
    if (runaway)
        faults << QStringLiteral("did not end");
    if (mostScreens > 1)
        faults << QStringLiteral("%1 screens showed at once").arg(mostScreens);
    if (r.ctl->broken)
        faults << QStringLiteral("%1 broken requests").arg(r.ctl->broken);
    for (int i = before; i < duringOperation; ++i) {
        const QString req = r.ctl->requests[i];
        if (std::none_of(row.sends.begin(), row.sends.end(), [&](const QString& k) { return req.startsWith(k); }))
            faults << QStringLiteral("sent \"%1\"").arg(req);
    }
    if (const QString wrong = row.outcome(r); !wrong.isEmpty())
        faults << wrong;
    if (!r.waiter.closing()) {
        if (const QString wrong = oneScreenAndItsMenus(r); !wrong.isEmpty())
            faults << wrong;
    } else if (r.ctl->data && r.port.portOpen() && r.last() != "goodbye") {
        faults << QStringLiteral("ended without 0x12 last");
    }
    cell.fault = faults.join("; ");
    return cell;
}

QString downloadOutcome(Rig& r)
{
    const QString info = statusMessage(r.window, false), error = statusMessage(r.window, true);
    const bool stored = r.ctl->profilesStored == 1 && r.ctl->notesStored == 1;
    // A download abandoned for Exit claims nothing; one that ran to its end says how it ended.
    if ((info == "Download Successful") != stored && !(r.waiter.closing() && info != "Download Successful"))
        return QStringLiteral("shows \"%1\" with %2 profile and %3 notes stored").arg(info).arg(r.ctl->profilesStored).arg(r.ctl->notesStored);
    if (error == "Download Failed" && r.ctl->profilesStored)
        return QStringLiteral("\"Download Failed\" with the profile stored");
    return {};
}

QString uploadOutcome(Rig& r)
{
    const bool shown = statusMessage(r.window, false) == "Upload successful";
    if (shown != (r.window.CurrentProfileName == "<520 upload>"))
        return QStringLiteral("\"Upload successful\" is %1 but the profile is %2").arg(shown).arg(r.window.CurrentProfileName);
    return {};
}

QString answerOutcome(Rig& r)
{
    if (r.waiter.closing())
        return {};
    if (r.window.ModemConnected != r.ctl->data)
        return QStringLiteral("ModemConnected %1 with the call %2").arg(r.window.ModemConnected).arg(r.ctl->data ? "up" : "down");
    QFile log(r.dir.filePath("faultlog.txt"));
    const int records = log.open(QIODevice::ReadOnly) ? int(log.readAll().count("\r\n")) - 1 : 0;
    const int calls = int(r.ctl->requests.count("latest fault"));
    if (std::max(0, records) != calls)
        return QStringLiteral("%1 records for %2 calls read").arg(records).arg(calls);
    return {};
}

QString modemOutcome(Rig& r)
{
    const bool up = r.ctl->data && r.ctl->logOns > 0;
    if (r.window.ModemConnected != up && !r.waiter.closing())
        return QStringLiteral("ModemConnected %1 with the call %2").arg(r.window.ModemConnected).arg(up ? "up" : "down");
    return {};
}

const QStringList Transfer{"identify", "status", "download", "notes download", "profile", "notes", "goodbye"};
const QStringList Polls{"identify", "profile", "status", "command", "node", "goodbye"};
const QStringList Dialling{"AT:", "log-on", "goodbye"};
const QStringList Answering{"AT:", "identify", "profile", "status", "latest fault", "node query", "goodbye"};

bool lastWrite(Rig& r, char byte)
{
    return r.port.writes().value(r.port.writes().size() - 1) == QByteArray(1, byte);
}

std::vector<Row> rows()
{
    auto download = [](Rig& r) { r.window.menuSaveGX510->trigger(); };
    auto upload = [](Rig& r) { r.window.menuLoadGX510->trigger(); };
    auto monitor = [](Rig& r) { r.window.CommandMonitor->click(); };
    auto settingsOpen = [](Rig& r) { r.window.comPortMenu->trigger(); };
    // An upload from the editor, with an edited profile: the question and the
    // upload leave the editor showing alone.
    auto inEditor = [](Rig& r) {
        r.window.comPortMenu->trigger();
        r.window.CommandProgram->click();
        r.window.ProfileChanged = true;
    };
    auto dialup = [](Rig& r) {
        r.window.comPortMenu->trigger();
        r.window.menuConnect->trigger();
        r.access().CommandAddressBook_Click();
    };
    auto dialled = [](Rig& r) { dial(r.window); };
    auto logCalls = [](Rig& r) { r.window.CommandLogCalls->click(); };
    std::vector<Row> out = {
        {"download", "identification and status", false, {}, {}, settingsOpen, download,
         [](Rig& r) { return r.window.operation() == Operation::Download && r.last() == "status"; }, Transfer, downloadOutcome},
        {"download", "the pause after 0x03", false, {}, {}, settingsOpen, download,
         [](Rig& r) { return lastWrite(r, cmd::ProfileDownload); }, Transfer, downloadOutcome},
        {"download", "the wait for the profile's confirmation", false, {}, {}, settingsOpen, download,
         [](Rig& r) { return r.ctl->profilesStored == 1 && lastWrite(r, cmd::Identify); }, Transfer, downloadOutcome},
        {"download", "the pause after 0x18", false, {}, {}, settingsOpen, download,
         [](Rig& r) { return lastWrite(r, cmd::TextDownload); }, Transfer, downloadOutcome},
        {"download", "the wait for the notes' confirmation", false, {}, {}, settingsOpen, download,
         [](Rig& r) { return r.ctl->notesStored == 1 && r.window.operation() == Operation::Download; }, Transfer,
         downloadOutcome},
        {"upload", "the profile", false, {}, {}, inEditor, upload,
         [](Rig& r) { return r.last() == "profile" && !r.window.link().GotProfile; }, Transfer, uploadOutcome},
        {"upload", "the notes", false, {}, {}, inEditor, upload,
         [](Rig& r) { return r.last() == "notes"; }, Transfer, uploadOutcome},
        {"monitor", "a status exchange", false, {}, {}, settingsOpen, monitor,
         [](Rig& r) { return r.monitoring().polls > 2 && r.last() == "status" && !r.window.link().StatusGot; }, Polls},
        {"monitor", "the pause between polls", false, {}, {}, settingsOpen, monitor,
         [](Rig& r) { return r.monitoring().polls > 2 && r.window.link().StatusGot; }, Polls},
        {"network monitor", "a pass", false, QStringLiteral("GX520 V2.01     "), {1, 2, 3}, settingsOpen, monitor,
         [](Rig& r) { return r.monitoring().passes > 3; }, Polls},
        {"dial", "the pause before the modem's initialisation", true, {}, {}, dialup, dialled,
         [](Rig& r) { return r.window.operation() == Operation::Dial && r.ctl->requests.isEmpty(); }, Dialling, modemOutcome},
        {"dial", "the wait for OK", true, {}, {}, dialup, dialled,
         [](Rig& r) { return r.last().startsWith("AT:ATZ"); }, Dialling, modemOutcome},
        {"dial", "the wait for CONNECT", true, {}, {}, dialup, dialled,
         [](Rig& r) { return r.last().startsWith("AT:ATDT") && !r.ctl->data; }, Dialling, modemOutcome},
        {"dial", "the log-on", true, {}, {}, dialup, dialled,
         [](Rig& r) { return r.last() == "log-on"; }, Dialling, modemOutcome},
        {"monitor over the modem", "a status exchange", true, {}, {}, dialled, monitor,
         [](Rig& r) { return r.monitoring().polls > 2 && r.last() == "status"; }, Polls},
        {"Disconnect", "the guard time before \"+++\"", true, {}, {}, dialled,
         [](Rig& r) { r.window.menuDisconnect->trigger(); },
         [](Rig& r) { return r.window.operation() == Operation::HangUp; }, Dialling, modemOutcome},
        {"answer loop", "waiting for a call", true, {}, {}, dialup, logCalls,
         [](Rig& r) { return r.logStatus() == "Awaiting incoming calls..."; }, Answering, answerOutcome},
        {"answer loop", "answering", true, {}, {}, dialup, logCalls,
         [](Rig& r) { return r.last() == "AT:ATA"; }, Answering, answerOutcome},
        {"answer loop", "a call being read", true, {}, {}, dialup, logCalls,
         [](Rig& r) { return r.logStatus() == "Connected: uploading profile..."; }, Answering, answerOutcome},
        {"answer loop", "the stay-connected question", true, {}, {}, dialup, logCalls,
         [](Rig& r) { return !r.access().logScreen().FrameGoMonitor->isHidden(); }, Answering, answerOutcome},
        {"answer loop", "hanging up", true, {}, {}, dialup, logCalls,
         [](Rig& r) { return r.logStatus() == "Hanging up..."; }, Answering, answerOutcome},
    };
    return out;
}

} // namespace

TEST(ClickMatrix, NothingRunsInsideAnOperationAndTheOutcomeShownIsTrue)
{
    QStringList table{"| operation | waiting in | controls live then (each clicked in a run of its own) | outcome |",
                      "|---|---|---|---|"};
    int cells = 0;
    for (const Row& row : rows()) {
        const QString where = QStringLiteral("%1, %2").arg(row.operation, row.waitingIn);
        SCOPED_TRACE(where.toStdString());
        const Cell baseline = run(row, {});
        EXPECT_TRUE(baseline.fault.isEmpty()) << "without a click: " << baseline.fault.toStdString();
        QStringList faults;
        for (const QString& name : baseline.live) {
            const Cell c = run(row, name);
            ++cells;
            EXPECT_TRUE(c.fault.isEmpty()) << name.toStdString() << ": " << c.fault.toStdString();
            if (!c.fault.isEmpty())
                faults << name + ": " + c.fault;
        }
        // Help's four entries as one; a row of like buttons as its first and last index.
        QStringList live;
        int help = 0;
        for (const QString& n : baseline.live) {
            if (n.startsWith("menuWeb") || n.startsWith("meunWeb") || n == "menuAbout") {
                ++help;
                continue;
            }
            const QString family = n.section('(', 0, 0);
            if (!live.isEmpty() && n.contains('(') && live.last().startsWith(family + '(')) {
                live.last() = family + '(' + live.last().section('(', 1).section(QRegularExpression("[-)]"), 0, 0) + '-'
                              + n.section('(', 1);
                continue;
            }
            live << n;
        }
        if (help)
            live << QStringLiteral("Help (%1)").arg(help);
        table << QStringLiteral("| %1 | %2 | %3 | %4 |")
                     .arg(row.operation, row.waitingIn, live.join(", "), faults.isEmpty() ? "true" : faults.join("; "));
    }
    std::printf("\nclick matrix: %d clicks\n%s\n", cells, qPrintable(table.join('\n')));
}
