// The fleet board in the window, without a broker: how it is reached and
// fenced, its notifications, the reminder file, the CSV export, the remote
// view's read-only rule, and the settings dialog's Fleet page.

#include "brokerprocess.h"
#include "shellfixture.h"

#include "monitor/fleetscreen.h"
#include "monitor/fleettable.h"
#include "remote/fleetpage.h"
#include "remote/formsettings.h"
#include "shell/fleetmode.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QTableView>
#include <QTabWidget>
#include <QTest>

using namespace gx;
using namespace gx::test;

namespace {

const QDateTime T0 = QDateTime::fromString("2026-12-07T20:24:01Z", Qt::ISODate);

QByteArray state(int s, int fault = 0, double hours = 1234.5, const QString& mode = "AUTO")
{
    StatusSummary sum;
    sum.state = s;
    sum.stateText = stateName(s);
    sum.mode = mode;
    sum.hoursRun = hours;
    sum.faultCode = fault;
    sum.faultText = fault ? QStringLiteral("Low oil pressure shutdown") : QString();
    return stateMessage(sum, T0);
}

struct Rig : ShellFixture {
    QTemporaryDir data;
    Rig()
    {
        start();
        window.show();
        fleet().setDataFolder(data.path());
        fleet().now = [] { return T0; };
    }
    FleetMode& fleet() { return *window.findChild<FleetMode*>(); }
    FleetScreen& screen() { return fleet().screen(); }
    void take(const QString& topic, const QByteArray& payload) { fleet().board().take(topic, payload, T0); }
    // A live node of a site whose service allows `commands`.
    void node(const QString& site, int n, const QStringList& commands, const QByteArray& st = state(4))
    {
        take(QStringLiteral("gx520/%1/status").arg(site), "online");
        take(QStringLiteral("gx520/%1/%2/availability").arg(site).arg(n), "online");
        take(QStringLiteral("gx520/%1/%2/info").arg(site).arg(n),
             infoMessage({"GX520", "2.01", "GX520 V2.01", site + " yard", commands}));
        take(QStringLiteral("gx520/%1/%2/state").arg(site).arg(n), st);
    }
    QString status() { return screen().LabelFleetStatus->text(); }
};

} // namespace

// Other tests open the board from View > Fleet and Quick Launch, and the click
// matrix finds both fenced during every operation; from the editor it leaves
// program mode.
TEST(FleetMode, TheBoardFromTheEditorIsOneScreenAndMainMenuLeavesIt)
{
    Rig r;
    r.window.CommandProgram->click();
    r.window.menuFleet->trigger();
    EXPECT_EQ(r.window.screenShown(), FormMonitor::Screen::Fleet);
    EXPECT_EQ(screensShown(r.window), 1);
    EXPECT_FALSE(r.window.InProgram);
    EXPECT_TRUE(r.status().startsWith("No broker is set")) << r.status().toStdString();
    r.window.menuMain->trigger();
    EXPECT_EQ(r.window.screenShown(), FormMonitor::Screen::Start);
    EXPECT_EQ(screensShown(r.window), 1);
}

TEST(FleetMode, AlertsMakeOneNotificationABurstOrAStatusWindowWithoutATray)
{
    const struct {
        bool tray;
        std::vector<std::pair<const char*, QByteArray>> messages;
        QStringList notifications;
        QString statusWindow;
    } rows[] = {
        {true, {{"gx520/north/2/state", state(5, 17)}},
         {"GX520 fleet | north node 2: fault 17 standing: Low oil pressure shutdown"}, ""},
        {true, {{"gx520/a/1/availability", "offline"}, {"gx520/b/status", "offline"}, {"gx520/c/2/availability", "offline"},
                {"gx520/d/3/availability", "offline"}, {"gx520/e/4/availability", "offline"}},
         {"GX520 fleet: 5 alerts | a node 1: offline (found so on connecting)\nb: service offline (found so on connecting)\n"
          "c node 2: offline (found so on connecting)\nd node 3: offline (found so on connecting)\n"
          "... and 1 more on the fleet board"},
         ""},
        {false, {{"gx520/north/2/state", state(5, 17)}}, {},
         "north node 2: fault 17 standing: Low oil pressure shutdown"},
        {true, {{"gx520/north/2/state", state(4)}}, {}, ""},
    };
    for (const auto& row : rows) {
        Rig r;
        r.desktop.tray = row.tray;
        for (const auto& [topic, payload] : row.messages)
            r.take(topic, payload);
        QTest::qWait(400);
        EXPECT_EQ(r.desktop.notifications, row.notifications);
        EXPECT_EQ(statusMessage(r.window, false), row.statusWindow);
        EXPECT_EQ(r.screen().ListAlerts->count(), r.fleet().board().alerts().size());
    }
    // Acknowledged alerts leave the status line's count.
    Rig r;
    r.take("gx520/north/2/state", state(5, 17));
    r.take("gx520/north/3/availability", "offline");
    QTest::qWait(100);
    EXPECT_TRUE(r.status().contains("2 alerts to acknowledge")) << r.status().toStdString();
    r.screen().ListAlerts->item(0)->setSelected(true);
    r.screen().CommandAcknowledge->click();
    QTest::qWait(100);
    EXPECT_TRUE(r.status().contains("1 alerts to acknowledge")) << r.status().toStdString();
    EXPECT_FALSE(r.screen().ListAlerts->item(0)->font().bold());
    r.screen().CommandAcknowledgeAll->click();
    QTest::qWait(100);
    EXPECT_FALSE(r.status().contains("to acknowledge")) << r.status().toStdString();
}

TEST(FleetMode, RemindersGoToTheirFileWholeAndABrokenFileIsNeverWrittenOver)
{
    const struct {
        const char* what;
        QByteArray fileBefore;  // "" for none
        bool saved;
    } rows[] = {
        {"no file yet", "", true},
        {"a file with another node's reminder", R"({"reminders":[{"site":"south","node":1,"interval_h":500,"last_service_h":10}]})", true},
        {"a file that is not JSON", "{\"reminders\": [", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Rig r;
        const QString path = r.fleet().remindersPath();
        if (!row.fileBefore.isEmpty()) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(row.fileBefore);
        }
        r.fleet().setDataFolder(r.data.path());  // read again
        r.node("north", 2, {}, state(3, 0, 1300));
        r.window.menuFleet->trigger();
        r.screen().selectRow(r.fleet().board().rowOf("north", 2));
        EXPECT_TRUE(r.screen().LabelReminderNode->text().startsWith("north node 2: 1300.0 h run"));
        r.screen().SpinServiceInterval->setValue(250);
        r.screen().CommandServicedNow->click();
        EXPECT_EQ(r.screen().SpinLastService->value(), 1300);
        r.screen().SpinLastService->setValue(1000);
        r.screen().CommandSaveReminder->click();
        QTest::qWait(100);
        EXPECT_EQ(r.screen().table().index(0, FleetTable::Service).data().toString(), "service overdue by 50 h");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray after = f.readAll();
        if (row.saved) {
            const auto read = readRemindersFile(after);
            ASSERT_TRUE(read);
            EXPECT_EQ(read->value(nodeKey("north", 2)), (ServiceReminder{250, 1000}));
            EXPECT_EQ(read->size(), row.fileBefore.isEmpty() ? 1 : 2);
            EXPECT_TRUE(r.status().contains("the reminder of north node 2 is saved")) << r.status().toStdString();
        } else {
            EXPECT_EQ(after, row.fileBefore);
            EXPECT_TRUE(r.status().contains("cannot be read (not JSON")) << r.status().toStdString();
            EXPECT_TRUE(r.status().contains("the reminder of north node 2 is not saved")) << r.status().toStdString();
        }
    }
}

TEST(FleetMode, TheBoardExportsAsCsvOrNothingWhenCancelled)
{
    Rig r;
    r.node("north", 2, {}, state(5, 17));
    r.take("gx520/south/1/availability", "offline");
    r.window.CommandFleet->click();
    const QString path = r.data.filePath("board.csv");
    r.fileDialogs.paths = {path, ""};
    r.screen().CommandFleetExport->click();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), r.fleet().board().csv());
    EXPECT_TRUE(r.fileDialogs.calls.value(0).contains("fleet-2026-12-07-"));
    f.remove();
    r.screen().CommandFleetExport->click();  // cancelled
    EXPECT_FALSE(QFile::exists(path));
}

TEST(FleetMode, TheRemoteViewShowsTheNodesReadingsAndIsReadOnlyUnlessItsServiceAllowsCommands)
{
    const struct {
        const char* what;
        QStringList commands;
        std::function<void(Rig&)> then;
        QString enabled;  // CommandControl 0..8 and ImageButton 0..2, 1 enabled
        const char* access;
    } rows[] = {
        {"no commands", {}, [](Rig&) {}, "000000001 000", "Read-only: the service of north allows no commands."},
        {"start and reset", {"start", "reset"}, [](Rig&) {}, "100001001 000", "Commands its service allows: start, reset."},
        {"every command", {"start", "stop", "reset", "mute", "auto", "manual", "test"}, [](Rig&) {},
         "110111001 111", "Commands its service allows"},
        {"in MAN mode", {"auto", "manual"}, [](Rig& r) { r.take("gx520/north/2/state", state(4, 0, 1234.5, "MAN")); },
         "000000001 100", "Commands its service allows"},
        {"the node offline", {"start"}, [](Rig& r) { r.take("gx520/north/2/availability", "offline"); },
         "000000001 000", "Read-only: the node is not online"},
        {"its service offline", {"start"}, [](Rig& r) { r.take("gx520/north/status", "offline"); },
         "000000001 000", "Read-only: the node is not online"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Rig r;
        r.node("north", 2, row.commands);
        r.window.CommandFleet->click();
        const QModelIndex cell = r.screen().order().index(r.screen().viewRow(0), 0);
        r.screen().TableFleet->doubleClicked(cell);
        ASSERT_TRUE(r.screen().remoteShown());
        row.then(r);
        MonitorScreen& m = *r.screen().remote();
        QString enabled;
        for (QPushButton* b : m.CommandControl)
            enabled += b->isEnabled() ? '1' : '0';
        enabled += ' ';
        for (ModePicture* p : m.ImageButton)
            enabled += p->isEnabled() ? '1' : '0';
        EXPECT_EQ(enabled, row.enabled);
        EXPECT_TRUE(r.screen().LabelRemoteAccess->text().startsWith(row.access))
            << r.screen().LabelRemoteAccess->text().toStdString();
        EXPECT_TRUE(r.screen().FrameRemoteView->title().startsWith("Remote view: north node 2"));
        EXPECT_EQ(m.Label1[23]->text(), "Site: north yard");
        // A click with no broker asks nothing and sends nothing.
        m.CommandControl[0]->click();
        EXPECT_TRUE(r.dialogs.asked.isEmpty());
        if (row.enabled.startsWith('1')) {
            EXPECT_TRUE(r.fleet().statusText().contains("\"start\" not sent to north node 2: the broker is not connected"))
                << r.fleet().statusText().toStdString();
        }
        m.CommandControl[8]->click();  // Quit: back to the board
        EXPECT_FALSE(r.screen().remoteShown());
    }
}

TEST(FleetMode, TheSettingsFleetPageKeepsThePasswordOutOfTheSettingsStore)
{
    const struct {
        const char* broker;
        const char* user;
        const char* password;
        const char* ca;
        const char* prefix;
        const char* problem;  // "" stored
    } rows[] = {
        // PORT: a free port of 127.0.0.1 (no broker: the board keeps trying).
        {"mqtt://127.0.0.1:PORT", "", "", "", "gx520", ""},
        {"mqtts://127.0.0.1:PORT", "office", "s3cret, with a comma", "", "acme/gensets", ""},
        {"", "", "", "", "", ""},
        {"http://broker", "", "", "", "gx520", "The broker \"http://broker\" is not mqtt://HOST:PORT"},
        {"mqtt://broker", "", "", "", "gx/#", "The topic prefix \"gx/#\" must be levels"},
        {"mqtt://broker", "", "", "/etc/hostname", "gx520", "A CA file needs an mqtts:// broker"},
        {"mqtts://broker", "", "", "/nonexistent/ca.pem", "gx520", "The CA file /nonexistent/ca.pem cannot be read"},
        {"mqtt://broker", "", "pw", "", "gx520", "A password needs a user name"},
    };
    const QString port = QString::number(BrokerProcess::freePort());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.broker);
        const QString broker = QString::fromUtf8(row.broker).replace("PORT", port);
        Rig r;
        r.window.comPortMenu->trigger();
        FormSettings* dialog = r.window.findChild<RemoteAccess*>()->settingsDialog();
        ASSERT_TRUE(dialog);
        FleetPage& page = *dialog->fleetPage;
        page.credentialsPath = r.data.filePath("fleet.credentials");
        page.TextFleetBroker->setText(broker);
        page.TextFleetUser->setText(row.user);
        page.TextFleetPassword->setText(row.password);
        page.TextFleetCaFile->setText(row.ca);
        page.TextFleetPrefix->setText(row.prefix);
        dialog->CommandApply->click();
        if (*row.problem) {
            EXPECT_TRUE(page.LabelFleetProblem->text().startsWith(row.problem)) << page.LabelFleetProblem->text().toStdString();
            EXPECT_EQ(dialog->TabSettings->currentWidget(), &page);
            EXPECT_FALSE(r.settings.contains("Fleet", "Broker")) << "nothing stored";
            continue;
        }
        EXPECT_EQ(r.settings.value("Fleet", "Broker"), broker);
        EXPECT_EQ(r.settings.value("Fleet", "Topic prefix"), *row.prefix ? row.prefix : "gx520");
        const QString credentials = r.settings.value("Fleet", "Credentials file");
        EXPECT_EQ(credentials.isEmpty(), !*row.user);
        if (*row.user) {
            QFile f(credentials);
            EXPECT_TRUE(f.permissions().testFlag(QFile::ReadOwner));
            EXPECT_FALSE(f.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_EQ(f.readAll(), QByteArray(row.user) + '\n' + row.password + '\n');
        }
        EXPECT_EQ(r.fleet().client() != nullptr, !broker.isEmpty()) << "the board connects with what was applied";
        EXPECT_TRUE(broker.isEmpty() ? r.fleet().statusText().startsWith("No broker is set")
                                     : r.fleet().statusText().contains("127.0.0.1:" + port))
            << r.fleet().statusText().toStdString();
        const QPointer<FormSettings> closed = dialog;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(closed.isNull()) << "Apply closed the dialog";
        // The dialog opened again shows what was stored, the password read back from its file.
        r.window.comPortMenu->trigger();
        FormSettings* again = r.window.findChild<RemoteAccess*>()->settingsDialog();
        ASSERT_TRUE(again);
        EXPECT_EQ(std::tuple(again->fleetPage->TextFleetUser->text(), again->fleetPage->TextFleetPassword->text()),
                  std::tuple(QString(row.user), QString(row.password)));
        again->close();
    }
}
