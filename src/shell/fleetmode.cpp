// The fleet board joined to the main window: its entries, its broker, its notifications, files and commands.

#include "fleetmode.h"

#include "formmonitor.h"
#include "statuswindows.h"

#include "monitor/fleetscreen.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/filedialogs.h"
#include "platform/filestore.h"
#include "platform/mqttclient.h"
#include "platform/settingsstore.h"

#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

namespace gx {

namespace {
const QString Title = QStringLiteral("GX520 fleet");
const QString RemindersFile = QStringLiteral("service-reminders.json");
constexpr int NotifyAfterMs = 300;   // alerts that come together make one notification
constexpr int StatusAfterMs = 50;    // a burst of messages redraws the status line once
// Messages are taken in batches: the broker's retained messages on connecting
// (four a node) would otherwise each cost a repaint of the board.
constexpr int TakeEveryMs = 25;
constexpr int LinesPerNotification = 4;
constexpr int ShownSeconds = 10;     // in the status window, without a notification area
} // namespace

FleetMode::FleetMode(FormMonitor& window)
    : QObject(&window), m_window(window), m_screen(new FleetScreen(window.FrameFleet, m_board)),
      m_dataFolder(userDataFolder()), m_notifyTimer(new QTimer(this)), m_statusTimer(new QTimer(this)),
      m_takeTimer(new QTimer(this))
{
    m_notifyTimer->setSingleShot(true);
    m_notifyTimer->setInterval(NotifyAfterMs);
    connect(m_notifyTimer, &QTimer::timeout, this, &FleetMode::flushNotifications);
    m_takeTimer->setSingleShot(true);
    m_takeTimer->setInterval(TakeEveryMs);
    connect(m_takeTimer, &QTimer::timeout, this, &FleetMode::takeMessages);
    m_statusTimer->setSingleShot(true);
    m_statusTimer->setInterval(StatusAfterMs);
    connect(m_statusTimer, &QTimer::timeout, this, [this] { m_screen->setStatus(statusText()); });

    connect(window.menuFleet, &QAction::triggered, this, &FleetMode::showFleet);
    connect(window.CommandFleet, &QPushButton::clicked, this, &FleetMode::showFleet);
    window.fleetSettingsChanged = [this] { applySettings(); };

    connect(&m_board, &FleetBoard::alertRaised, this, &FleetMode::queueNotification);
    for (auto signal : {&FleetBoard::nodeAdded, &FleetBoard::nodeRemoved, &FleetBoard::nodeChanged})
        connect(&m_board, signal, this, &FleetMode::statusChanged);
    connect(&m_board, &FleetBoard::alertsChanged, this, &FleetMode::statusChanged);
    connect(&m_board, &FleetBoard::ignoredChanged, this, &FleetMode::statusChanged);
    connect(m_screen, &FleetScreen::reminderSaved, this, &FleetMode::saveReminder);
    connect(m_screen, &FleetScreen::exportClicked, this, &FleetMode::exportCsv);
    connect(m_screen, &FleetScreen::commandClicked, this, &FleetMode::sendCommand);

    loadReminders();
    applySettings();
}

FleetMode::~FleetMode() = default;

void FleetMode::showFleet()
{
    FormMonitor& w = m_window;
    // The entries are fenced while an operation runs; should one get through,
    // the board shows once the operation has ended.
    if (w.deferWhileBusy([this] { showFleet(); }, false))
        return;
    w.InMonitor = false;
    w.InProgram = false;
    w.showScreen(FormMonitor::Screen::Fleet);
    w.setMenus();
    m_screen->setStatus(statusText());
}

// ---------------------------------------------------------------- the broker

void FleetMode::applySettings()
{
    const FleetSettings s = FleetSettings::load(m_window.platform().settings);
    const bool sameFleet = s.broker == m_settings.broker && s.topicPrefix == m_settings.topicPrefix;
    m_settings = s;
    dropBroker();
    if (!sameFleet)
        m_board.clear();
    m_board.setPrefix(s.topicPrefix);
    connectBroker();
    statusChanged();
}

void FleetMode::takeMessages()
{
    std::vector<Received> batch;
    batch.swap(m_inbox);
    for (const Received& m : batch)
        m_board.take(m.topic, m.payload, m.when);
}

void FleetMode::dropBroker()
{
    m_inbox.clear();
    if (m_client) {
        m_client->disconnect(this);
        m_client->deleteLater();
        m_client = nullptr;
    }
}

void FleetMode::connectBroker()
{
    m_problem.clear();
    if (m_settings.broker.isEmpty())
        return;
    QString why;
    const auto options = m_settings.clientOptions(&why);
    if (!options) {
        m_problem = why;
        return;
    }
    m_client = new MqttClient(*options, this);
    connect(m_client, &MqttClient::messageReceived, this, [this](const QString& topic, const QByteArray& payload, bool) {
        m_inbox.push_back({topic, payload, now()});
        if (!m_takeTimer->isActive())
            m_takeTimer->start();
    });
    connect(m_client, &MqttClient::problem, this, [this](const QString& text) {
        m_problem = text;
        statusChanged();
    });
    connect(m_client, &MqttClient::connectedChanged, this, [this](bool up) {
        if (up)
            m_problem.clear();
        statusChanged();
    });
    const QString p = m_settings.topicPrefix;
    for (const char* leaf : {"state", "availability", "fault", "info"})
        m_client->subscribe(QStringLiteral("%1/+/+/%2").arg(p, QLatin1String(leaf)), 1);
    m_client->subscribe(p + QStringLiteral("/+/status"), 1);
    m_client->start();
}

QString FleetMode::statusText() const
{
    QStringList parts;
    if (m_settings.broker.isEmpty()) {
        parts << QStringLiteral("No broker is set: give one on the Fleet page of Settings > Com Ports.");
    } else if (!m_client) {
        parts << m_problem;
    } else if (!m_client->connected()) {
        // The client's words ("the broker at ... cannot be reached: Lookup error.") as a sentence.
        QString problem = m_problem;
        if (problem.endsWith(QLatin1Char('.')))
            problem.chop(1);
        if (!problem.isEmpty())
            problem[0] = problem[0].toUpper();
        parts << (problem.isEmpty() ? QStringLiteral("Connecting to %1").arg(m_settings.broker)
                                    : problem + QStringLiteral("; trying again"));
    } else {
        int faults = 0, offline = 0, overdue = 0;
        for (int r = 0; r < m_board.size(); ++r) {
            const Attention a = m_board.attention(r);
            faults += a == Attention::Fault;
            offline += a == Attention::Offline || a == Attention::ServiceOffline;
            overdue += a == Attention::ServiceOverdue;
        }
        parts << QStringLiteral("Connected to %1 (%2/...): %3 sites, %4 nodes, %5 in fault, %6 offline, %7 overdue")
                     .arg(m_settings.broker, m_settings.topicPrefix)
                     .arg(m_board.siteCount()).arg(m_board.size()).arg(faults).arg(offline).arg(overdue);
    }
    if (const int n = m_board.unacknowledged())
        parts << QStringLiteral("%1 alerts to acknowledge").arg(n);
    if (m_board.ignored())
        parts << QStringLiteral("%1 messages ignored (the last: %2)").arg(m_board.ignored()).arg(m_board.lastIgnored());
    if (!m_remindersProblem.isEmpty())
        parts << m_remindersProblem;
    if (!m_lastAction.isEmpty())
        parts << m_lastAction;
    return parts.join(QStringLiteral("; "));
}

void FleetMode::statusChanged()
{
    if (!m_statusTimer->isActive())
        m_statusTimer->start();
}

// ---------------------------------------------------------------- notifications

void FleetMode::queueNotification(const FleetAlert& alert)
{
    m_pending << alert;
    if (!m_notifyTimer->isActive())
        m_notifyTimer->start();
}

void FleetMode::flushNotifications()
{
    if (m_pending.isEmpty())
        return;
    QStringList lines;
    for (const FleetAlert& a : m_pending)
        if (lines.size() < LinesPerNotification)
            lines << a.what();
    if (m_pending.size() > LinesPerNotification)
        lines << QStringLiteral("... and %1 more on the fleet board").arg(m_pending.size() - LinesPerNotification);
    const QString title = m_pending.size() == 1 ? Title : QStringLiteral("%1: %2 alerts").arg(Title).arg(m_pending.size());
    m_pending.clear();
    // A desktop without a notification area: the program's status window.
    if (!m_window.platform().desktop.notify(title, lines.join(QLatin1Char('\n'))))
        m_window.statusWindows().showFor(lines.join(QStringLiteral("; ")), ShownSeconds);
}

// ---------------------------------------------------------------- reminders

void FleetMode::setDataFolder(const QString& folder)
{
    m_dataFolder = folder;
    loadReminders();
}

QString FleetMode::remindersPath() const
{
    return QDir(m_dataFolder).filePath(RemindersFile);
}

void FleetMode::loadReminders()
{
    m_remindersProblem.clear();
    FileStore& files = m_window.platform().files;
    ReminderMap reminders;
    if (files.exists(remindersPath())) {
        QString why;
        const auto bytes = files.read(remindersPath(), &why);
        const auto read = bytes ? readRemindersFile(*bytes, &why) : std::nullopt;
        // A file that cannot be read is left as it is: nothing is written over it.
        if (!read)
            m_remindersProblem = QStringLiteral("%1 cannot be read (%2): reminders set now are not saved until it is "
                                                "mended or moved away").arg(QDir::toNativeSeparators(remindersPath()), why);
        else
            reminders = *read;
    }
    m_board.setReminders(reminders);
    statusChanged();
}

void FleetMode::saveReminder(const QString& site, int node, const ServiceReminder& r)
{
    m_board.setReminder(site, node, r);
    QString why;
    if (!m_remindersProblem.isEmpty()) {
        m_lastAction = QStringLiteral("the reminder of %1 is not saved").arg(fleetNodeName(site, node));
    } else if (!m_window.platform().files.write(remindersPath(), remindersFile(m_board.reminders()), &why)) {
        m_lastAction = QStringLiteral("the reminders could not be saved to %1: %2")
                           .arg(QDir::toNativeSeparators(remindersPath()), why);
    } else {
        m_lastAction = QStringLiteral("the reminder of %1 is saved").arg(fleetNodeName(site, node));
    }
    statusChanged();
}

// ---------------------------------------------------------------- export and commands

void FleetMode::exportCsv()
{
    const Platform& p = m_window.platform();
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QString suggested =
        QDir(folder).filePath(QStringLiteral("fleet-%1.csv").arg(now().toString(QStringLiteral("yyyy-MM-dd-HHmm"))));
    const QString path = p.fileDialogs.getSaveFileName(QStringLiteral("Export the fleet board"), suggested,
                                                       QStringLiteral("CSV files (*.csv)|*.csv"));
    if (path.isEmpty())
        return;
    QString why;
    if (!p.files.write(path, m_board.csv().toUtf8(), &why)) {
        p.dialogs.inform(QStringLiteral("The board could not be written to %1: %2.\n\nA file that was there before "
                                        "is unchanged.").arg(QDir::toNativeSeparators(path), why),
                         Title);
        return;
    }
    m_lastAction = QStringLiteral("the board is in %1").arg(QDir::toNativeSeparators(path));
    statusChanged();
}

void FleetMode::sendCommand(const QString& site, int node, const QString& name)
{
    const QString who = fleetNodeName(site, node);
    if (!m_client || !m_client->connected()) {
        m_lastAction = QStringLiteral("\"%1\" not sent to %2: the broker is not connected").arg(name, who);
        statusChanged();
        return;
    }
    const auto answer = m_window.platform().dialogs.askOkCancel(
        QStringLiteral("Send \"%1\" to %2?\n\nIts service carries it out on the controller.").arg(name, who),
        QStringLiteral("Remote command"));
    // The node may have gone offline, or its service stopped, while the question was open.
    if (answer != Dialogs::Ok || !m_screen->remoteCommandsAllowed() || !m_client->connected()) {
        m_lastAction = QStringLiteral("\"%1\" not sent to %2").arg(name, who);
        statusChanged();
        return;
    }
    m_client->publish(nodeTopic(m_settings.topicPrefix, site, node, QStringLiteral("command")), name.toUtf8(), false, 1);
    m_lastAction = QStringLiteral("\"%1\" sent to %2 at %3").arg(name, who, now().toString(QStringLiteral("HH:mm:ss")));
    statusChanged();
}

} // namespace gx
