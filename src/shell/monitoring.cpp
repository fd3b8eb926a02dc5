// The live-monitor and network-monitor loops: identifying, polling, showing, logging, and sending commands.

#include "monitoring.h"

#include "formmonitor.h"

#include "link/link.h"
#include "link/protocol.h"
#include "monitor/controlcommands.h"
#include "monitor/instruments.h"
#include "monitor/monitorscreen.h"
#include "monitor/networkscreen.h"
#include "monitor/statussummary.h"
#include "monitor/trendwindow.h"
#include "platform/clock.h"
#include "platform/filedialogs.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/serialport.h"
#include "platform/settingsstore.h"
#include "platform/waiter.h"
#include "profile/tables.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>

namespace gx {

namespace {
constexpr double PollPause = 0.5;          // between polls on the direct line
constexpr double NodeCommandPause = 0.5;   // after a reset, start or stop frame
constexpr double ProbeGap = 0.1;           // between the two probes of a node
constexpr double IdlePass = 0.1;           // a network pass that sent nothing waits this long
constexpr int LastNode = 15;
constexpr int SwitchReset = 0, SwitchStart = 1, SwitchStop = 2;

QByteArray quickStatusFrame(int node)
{
    return net::readInputFrame(node, 0, 2);
}
} // namespace

Monitoring::Monitoring(FormMonitor& window)
    : QObject(&window), m_window(window), m_link(window.link()),
      m_screen(new MonitorScreen(window.Frame1[0])), m_network(new NetworkScreen(window.FrameNetMonitor))
{
    m_screen->beep = [&window] { window.platform().desktop.beep(); };
    connect(m_screen, &MonitorScreen::commandClicked, this, &Monitoring::CommandControl_Click);
    connect(m_screen, &MonitorScreen::imageClicked, this, &Monitoring::ImageButton_Click);
    connect(m_network, &NetworkScreen::resetClicked, this, [this](int n) { ResetRequest[size_t(n)] = true; });
    connect(m_network, &NetworkScreen::testStartClicked, this,
            [this](int n) { TestStartRequest[size_t(n)] = true; });
    connect(m_network, &NetworkScreen::testStopClicked, this,
            [this](int n) { TestStopRequest[size_t(n)] = true; });
    connect(m_network, &NetworkScreen::fullClicked, this, [this](int n) { FullRequest[size_t(n)] = true; });
    connect(m_network, &NetworkScreen::quitClicked, this, &Monitoring::CommandMonitorNetwork_Click);
    connect(m_network, &NetworkScreen::nodeCountChanged, this, [this](int n) {
        m_window.platform().settings.setSetting(QStringLiteral("Node count"), QString::number(n));
    });
    m_network->CommandMonitorNetwork->setEnabled(false);
    connect(m_network, &NetworkScreen::linkResetClicked, this, [this] {
        m_link.health.reset();
        m_network->showLinkHealth(m_link.health);
    });
    connect(m_screen, &MonitorScreen::linkResetClicked, this, [this] {
        m_link.health.reset();
        m_screen->showLinkHealth(m_link.health.node(m_link.NetworkMode ? m_link.Address : LinkHealth::DirectLine));
    });
    connect(m_screen, &MonitorScreen::trendClicked, this, &Monitoring::showTrends);
    connect(m_screen, &MonitorScreen::loggingToggled, this, &Monitoring::setLogging);
    connect(m_screen, &MonitorScreen::logFolderClicked, this, &Monitoring::chooseLogFolder);
    const QString folder = window.platform().settings.setting(QStringLiteral("Log folder"));
    if (!folder.isEmpty())
        logger.setFolder(folder);
    m_screen->CommandLogFolder->setToolTip(QStringLiteral("CSV files go to ") + logger.folder());

    window.onCheck510520 = [this] { Check510520(); };
    window.leaveNetworkMonitor = [this] { m_network->CommandMonitorNetwork->setEnabled(false); };
}

Monitoring::~Monitoring() = default;

// ---------------------------------------------------------------- single unit

void Monitoring::Check510520()
{
    const OperationScope monitoring(m_window, Operation::Monitor);
    m_link.NetworkMode = false;
    // An error left by an earlier operation must not make this identification
    // look failed: only the identification's own outcome counts.
    m_link.ProgStatus.clear();
    m_link.uploadID();
    if (!m_link.ProgStatus.isEmpty() || m_window.waiter().closing())
        return;
    if (m_link.Instrument.contains(QLatin1String("510"))) {
        m_window.Frame1[0]->setTitle(QStringLiteral("GX510: Local mode"));
        startMonitor();
    } else if (m_link.Instrument.contains(QLatin1String("520"))) {
        m_link.NetworkMode = true;
        m_link.Address = 1;
        CheckNodeAvailable(1);
        if (m_window.waiter().closing())
            return;
        if (m_network->LEDavailable[1]->isOn()) {
            MonitorNetwork();
        } else {
            m_link.NetworkMode = false;
            m_window.Frame1[0]->setTitle(QStringLiteral("GX510: Local mode"));
            startMonitor();
        }
    }
}

void Monitoring::startMonitor()
{
    FormMonitor& w = m_window;
    const OperationScope monitoring(w, Operation::Monitor);
    w.setStartScreenVisible(false);
    const bool alreadyRunning = w.MonitorMenu->isChecked() && !m_link.NetworkMode;
    if (!alreadyRunning) {
        w.InMonitor = true;
        w.InProgram = false;
        w.setMenus();
        w.showScreen(FormMonitor::Screen::Monitor);
        m_link.ensureOpen();
        m_link.ProgStatus.clear();
        m_link.uploadID();
        if (!m_link.ProgStatus.isEmpty()) {
            if (!w.waiter().closing())
                w.stopMonitor();
        } else {
            m_screen->setUnitId(m_link.ID);
            m_link.uploadProfile();
            if (!m_link.ProgStatus.isEmpty()) {
                if (!w.waiter().closing())
                    w.stopMonitor();
            } else {
                setup = m_screen->setUp(m_link.uploadedProfile, InputFunctionText, OutputFunctionText,
                                        w.colours.ColourBorder);
                m_screen->setHoursActive(true);
                // Link counts and trend start with this monitoring.
                m_link.health.reset();
                trend.clear();
                w.StatusUpdate = true;
                Waiter& waiter = w.waiter();
                while (w.StatusUpdate && !waiter.closing()) {
                    waiter.yieldOnce();
                    UpdateMonitor();
                    if (!m_link.NetworkMode && w.StatusUpdate)
                        waiter.pause(PollPause);
                }
            }
        }
    }
    m_link.ProgStatus.clear();
    m_screen->setHoursActive(false);
}

void Monitoring::sendPendingNetworkCommand()
{
    if (!NetworkRequest.isEmpty() && m_link.NetworkMode && !m_window.waiter().closing()) {
        m_link.MSComm1.output(NetworkRequest);
        NetworkRequest.clear();
    }
}

void Monitoring::UpdateMonitor()
{
    ++polls;
    sendPendingNetworkCommand();
    m_screen->beat();
    Toggle = 1 - Toggle;
    switch (m_link.fetchMonitorStatus(m_window.StatusUpdate)) {
    case Link::Fetch::Abandoned:
        return;
    case Link::Fetch::Failed:
        m_window.platform().dialogs.inform(QStringLiteral("Communication error: Status upload"),
                                           QStringLiteral("GX510-520"));
        break;
    case Link::Fetch::Ok: {
        record.decode(m_link.StatusImage, m_link.NetworkMode);
        const PollContext ctx{m_link.NetworkMode, m_link.FirmVersion, setup.ATSsupport};
        const PollView view = buildPollView(record, m_link.StatusImage, ctx, m_link.uploadedProfile, Toggle,
                                            m_screen->muteEnabled(), timers);
        m_screen->show(view);
        recordPoll(view);
        break;
    }
    }
    sendPendingNetworkCommand();
    m_screen->showLinkHealth(m_link.health.node(m_link.NetworkMode ? m_link.Address : LinkHealth::DirectLine));
}

void Monitoring::recordPoll(const PollView& view)
{
    const StatusSummary s = summarize(record, m_link.StatusImage, view, m_link.uploadedProfile, m_link.NetworkMode);
    trend.add(QDateTime::currentMSecsSinceEpoch(), s);
    if (logging) {
        QString why;
        if (!logger.append(QDateTime::currentDateTime(), s, m_link.NetworkMode ? m_link.Address : 0, &why)) {
            setLogging(false);
            m_window.platform().dialogs.inform(QStringLiteral("Logging has stopped: ") + why, QStringLiteral("GX510-520"));
        }
    }
    // The graphs are redrawn at most once a second, and only while they show.
    const double t = m_window.platform().clock.now();
    if (m_trend && m_trend->isVisible() && t - m_lastTrendDraw >= 1.0) {
        m_lastTrendDraw = t;
        m_trend->refresh(trend);
    }
}

TrendWindow* Monitoring::trendWindow() const
{
    return m_trend;
}

void Monitoring::showTrends()
{
    if (!m_trend) {
        m_trend = new TrendWindow(&m_window);
        connect(m_trend->ComboSpan, &QComboBox::currentIndexChanged, this, [this] { m_trend->refresh(trend); });
    }
    m_trend->refresh(trend);
    m_trend->show();
    m_trend->raise();
}

void Monitoring::setLogging(bool on)
{
    logging = on;
    if (!on)
        logger.close();
    if (m_screen->CheckLogging->isChecked() != on) {
        const QSignalBlocker block(m_screen->CheckLogging);
        m_screen->CheckLogging->setChecked(on);
    }
    m_screen->CheckLogging->setToolTip(on ? QStringLiteral("Logging every poll to a CSV file in ") + logger.folder()
                                          : QStringLiteral("Append every poll to a CSV file per day"));
}

void Monitoring::chooseLogFolder()
{
    const QString folder =
        m_window.platform().fileDialogs.getExistingDirectory(QStringLiteral("Folder for the CSV logs"), logger.folder());
    if (folder.isEmpty())
        return;
    logger.setFolder(folder);
    m_window.platform().settings.setSetting(QStringLiteral("Log folder"), folder);
    m_screen->CommandLogFolder->setToolTip(QStringLiteral("CSV files go to ") + folder);
}

void Monitoring::CommandControl_Click(int Index)
{
    if (Index == 4) {
        if (record.FaultReg != 0)
            m_screen->setMuteEnabled(false);
        return;
    }
    if (Index == 8) {
        m_window.menuMain_Click();
        return;
    }
    const auto command = commandForButton(Index);
    if (!command)
        return;
    if (m_link.NetworkMode)
        NetworkRequest = commandBytes(*command, true, m_link.Address);
    else if (m_link.MSComm1.portOpen())
        m_link.MSComm1.output(commandBytes(*command, false, m_link.Address));
}

void Monitoring::ImageButton_Click(int Index)
{
    if (!m_link.MSComm1.portOpen())
        return;
    const auto command = commandForImage(Index, record.MAN == 1);
    if (!command)
        return;
    if (m_link.NetworkMode)
        NetworkRequest = commandBytes(*command, true, m_link.Address);
    else
        m_link.MSComm1.output(commandBytes(*command, false, m_link.Address));
}

// ---------------------------------------------------------------- network

void Monitoring::showNetworkFrame(bool shown)
{
    if (shown)
        m_window.showScreen(FormMonitor::Screen::Network);
    else
        m_window.FrameNetMonitor->setVisible(false);
}

void Monitoring::MonitorNetwork()
{
    FormMonitor& w = m_window;
    NetworkScreen& n = *m_network;
    const OperationScope monitoring(w, Operation::NetworkMonitor);
    const QString count = w.platform().settings.setting(QStringLiteral("Node count"), QStringLiteral("8"));
    n.TextNodeCheck->setText(count);
    n.setNodeCount(std::clamp(numericValue(count), 1, NetworkScreen::Rows));
    for (int node = 1; node <= LastNode; ++node)
        n.clearRow(node);

    showNetworkFrame(true);
    for (QAction* a : {w.menuSaveGX510, w.menuLoadGX510, w.menuLoadDisk, w.menuSaveDisk})
        a->setEnabled(false);
    w.MonitorMenu->setChecked(true);
    w.menuProgram->setChecked(false);
    w.menuMain->setChecked(false);
    m_link.NetworkMode = true;
    FullMonitor = false;
    n.CommandMonitorNetwork->setEnabled(true);
    m_link.health.reset();

    Waiter& waiter = w.waiter();
    while (n.CommandMonitorNetwork->isEnabled() && w.MonitorMenu->isChecked() && !waiter.closing()) {
        waiter.yieldOnce();
        ++passes;
        bool talked = false;
        for (int a = 1; a <= LastNode && !FullMonitor && !waiter.closing(); ++a) {
            m_link.Address = a;
            const size_t i = size_t(a);
            if (!n.LEDavailable[i]->isOn() || !n.Check1[i]->isChecked())
                continue;
            talked = true;
            GetQuickStatus(a);
            if (ResetRequest[i]) {
                ResetRequest[i] = false;
                ResetGX520(a);
            }
            if (TestStartRequest[i]) {
                TestStartRequest[i] = false;
                StartGX520(a);
            }
            if (TestStopRequest[i]) {
                TestStopRequest[i] = false;
                StopGX520(a);
            }
            if (FullRequest[i]) {
                FullRequest[i] = false;
                FullMonitor = true;
            }
        }
        if (FullMonitor || waiter.closing())
            break;
        if (CheckForNewNodes())
            talked = true;
        if (!talked)
            waiter.pause(IdlePass); // nothing on the line this pass: do not spin
        n.showLinkHealth(m_link.health);
    }

    if (FullMonitor && !waiter.closing()) {
        w.Frame1[0]->setTitle(QStringLiteral("GX520: Node: ") + QString::number(m_link.Address));
        showNetworkFrame(false);
        startMonitor();
    } else if (!waiter.closing()) {
        showNetworkFrame(false);
    }
}

void Monitoring::GetQuickStatus(int node)
{
    if (FullMonitor)
        return;
    NetworkScreen& n = *m_network;
    const size_t i = size_t(node);
    m_link.ensureOpen();
    if (m_link.exchange(SerialPort::BinaryMode, replylen::NetQuickStatus, m_link.GotQuickStatus,
                        quickStatusFrame(node), timeout::QuickStatus)) {
        for (int j = 0; j < 7; ++j)
            QuickStatus[i][size_t(j)] = j < m_link.NetReply.size() ? uint8_t(m_link.NetReply[j]) : 0;
        MissCount[i] = 0;
        n.LEDavailable[i]->setOnColour(NetworkScreen::lampColour(QuickStatusView::Lamp::Green));
        UpdateQuickStatus(node);
        return;
    }
    ++MissCount[i];
    if (MissCount[i] > 2)
        n.loseNode(node);
    else if (MissCount[i] > 1)
        n.LEDavailable[i]->setOnColour(NetworkScreen::lampColour(QuickStatusView::Lamp::Orange));
}

void Monitoring::UpdateQuickStatus(int node)
{
    m_network->UpdateQuickStatus(node, QuickStatus[size_t(node)][4], QuickStatus[size_t(node)][6]);
}

bool Monitoring::CheckForNewNodes()
{
    LastAddress = LastAddress % LastNode + 1;
    const size_t i = size_t(LastAddress);
    if (m_network->LEDavailable[i]->isOn() || !m_network->Check1[i]->isChecked())
        return false;
    CheckNodeAvailable(LastAddress);
    return true;
}

void Monitoring::CheckNodeAvailable(int node)
{
    NetworkScreen& n = *m_network;
    const size_t i = size_t(node);
    m_link.ensureOpen();
    n.LEDavailable[i]->setOn(false);
    n.LEDavailable[i]->setOffColour(n.systemGrey());
    n.setStatusBackground(node, m_window.colours.ColourButtonFace);
    const QColor red = NetworkScreen::lampColour(QuickStatusView::Lamp::Red);
    if (!m_link.exchange(SerialPort::BinaryMode, replylen::NetQuickStatus, m_link.GotQuickStatus,
                         quickStatusFrame(node), timeout::NodeProbe)) {
        n.LEDavailable[i]->setOffColour(red);
        for (QPushButton* b : {n.CommandReset[i], n.CommandTestStart[i], n.CommandTestStop[i]})
            b->setEnabled(false);
        return;
    }
    m_link.pause(ProbeGap);
    if (m_link.exchange(SerialPort::BinaryMode, replylen::NetQuickStatus, m_link.GotQuickStatus,
                        quickStatusFrame(node), timeout::NodeProbe)) {
        n.LEDavailable[i]->setOn(true);
        n.setStatusBackground(node, m_window.colours.ColourWhite);
        for (QPushButton* b : {n.CommandTestStart[i], n.CommandTestStop[i], n.CommandFull[i]})
            b->setEnabled(true);
    } else {
        n.LEDavailable[i]->setOffColour(red);
    }
}

void Monitoring::sendNodeCommand(int node, int switchNumber)
{
    m_link.ensureOpen();
    m_link.MSComm1.discardInput();
    m_link.MSComm1.output(net::switchFrame(node, switchNumber));
    m_link.pause(NodeCommandPause);
}

void Monitoring::ResetGX520(int node)
{
    sendNodeCommand(node, SwitchReset);
    m_link.MSComm1.discardInput();
}

void Monitoring::StartGX520(int node)
{
    sendNodeCommand(node, SwitchStart);
}

void Monitoring::StopGX520(int node)
{
    sendNodeCommand(node, SwitchStop);
}

void Monitoring::CommandMonitorNetwork_Click()
{
    FormMonitor& w = m_window;
    // The button's being disabled ends the loop after its pass; the screen and
    // the menus change once it has ended.
    m_network->CommandMonitorNetwork->setEnabled(false);
    if (w.deferWhileBusy([this] { CommandMonitorNetwork_Click(); }, false))
        return;
    showNetworkFrame(false);
    for (QAction* a : {w.menuSaveGX510, w.menuLoadGX510, w.menuSaveDisk, w.menuLoadDisk})
        a->setEnabled(true);
    w.MonitorMenu->setChecked(false);
    w.menuProgram->setChecked(false);
    w.menuMain->setChecked(true);
    if (!w.InMonitor && !w.InProgram)
        w.showScreen(FormMonitor::Screen::Start);
    w.applyFence();
}

} // namespace gx
