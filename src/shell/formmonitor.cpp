// The main window: construction, start-up, the monitor, program and main
// modes entered and left, and the ways the program ends.

#include "formmonitor.h"

#include "statuswindows.h"
#include "twips.h"

#include "link/link.h"
#include "link/protocol.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/serialport.h"
#include "platform/settingsstore.h"
#include "platform/clock.h"
#include "platform/waiter.h"
#include "profile/profileeditor.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>

namespace gx {

namespace {

const QString Caption = QStringLiteral("GX510-520 Program / Monitor");
const QString DefaultHeight = QStringLiteral("8000");
const QString DefaultWidth = QStringLiteral("10000");

} // namespace

FormMonitor::FormMonitor(const Platform& platform, QWidget* parent)
    : QMainWindow(parent), m_platform(platform)
{
    setObjectName(QStringLiteral("FormMonitor"));
    setWindowTitle(Caption + QStringLiteral(" V2.2.0"));
    m_status = std::make_unique<StatusWindows>(platform.waiter, platform.desktop, this);
    m_link = std::make_unique<Link>(
        Link::Platform{platform.port, platform.waiter, platform.settings, platform.dialogs, *m_status}, this);
    buildMenus();
    buildScreens();
    // An adapter pulled out while the port is open: say so once; the port is
    // opened again by the next operation that needs it.
    connect(m_link.get(), &Link::portLost, this, [this](const QString& reason) {
        m_status->displayStatus(QStringLiteral("Serial port lost (") + reason + QStringLiteral(")"), 0, 1);
    });

    // A download may wait up to 40 s for each confirmation: the status bar
    // counts the seconds, so the user sees the program is working.
    LabelWaiting = new QLabel;
    LabelWaiting->setObjectName(QStringLiteral("LabelWaiting"));
    ProgressWaiting = new QProgressBar;
    ProgressWaiting->setObjectName(QStringLiteral("ProgressWaiting"));
    ProgressWaiting->setTextVisible(false);
    ProgressWaiting->setMaximumWidth(200);
    statusBar()->addWidget(LabelWaiting);
    statusBar()->addWidget(ProgressWaiting);
    statusBar()->hide();
    m_waitTicker = new QTimer(this);
    m_waitTicker->setInterval(500);
    connect(m_waitTicker, &QTimer::timeout, this, &FormMonitor::tickConfirmationWait);
    connect(m_link.get(), &Link::confirmationWait, this, &FormMonitor::showConfirmationWait);
    connect(m_link.get(), &Link::confirmationWaitEnded, this, [this] {
        m_waitTicker->stop();
        statusBar()->hide();
    });
}

void FormMonitor::showConfirmationWait(const QString& what, double seconds)
{
    m_waitingFor = what;
    m_waitStarted = m_platform.clock.now();
    m_waitSeconds = seconds;
    ProgressWaiting->setRange(0, int(seconds));
    tickConfirmationWait();
    statusBar()->show();
    m_waitTicker->start();
}

void FormMonitor::tickConfirmationWait()
{
    const int elapsed = int(m_platform.clock.now() - m_waitStarted);
    ProgressWaiting->setValue(std::min(elapsed, int(m_waitSeconds)));
    LabelWaiting->setText(QStringLiteral("Waiting for the controller to store %1: %2 s (up to %3 s)")
                              .arg(m_waitingFor).arg(elapsed).arg(int(m_waitSeconds)));
}

FormMonitor::~FormMonitor() = default;

void FormMonitor::Form_Load()
{
    ProgramDirectory = QDir::currentPath();
    for (QGroupBox* f : Frame1)
        f->setVisible(false);
    TabStrip1->setVisible(false);

    // Window size in twips; a setting that is not a positive number falls back to the default.
    int h = numericValue(m_platform.settings.setting(QStringLiteral("Screen height"), DefaultHeight));
    int w = numericValue(m_platform.settings.setting(QStringLiteral("Screen width"), DefaultWidth));
    if (h <= 0)
        h = DefaultHeight.toInt();
    if (w <= 0)
        w = DefaultWidth.toInt();
    QSize size(twipsToPixelsX(w, this), twipsToPixelsY(h, this));
    // A first start has no size of its own: the window is made large enough
    // for every program page to show whole.
    if (m_platform.settings.setting(QStringLiteral("Screen height")).isEmpty()
        || m_platform.settings.setting(QStringLiteral("Screen width")).isEmpty())
        size = size.expandedTo(firstStartSize());
    if (const QScreen* s = screen())
        size = size.boundedTo(s->availableGeometry().size());
    resize(size);

    colours = ColourPalette::standard();
    if (buildTables)
        buildTables();

    m_link->ProgStatus.clear();
    CurrentProfileName = QStringLiteral("defaults.520");
    ProfileChanged = false;
    m_link->NetworkMode = false;

    menuMain->setChecked(true);
    setMenus();

    SerialPort& port = m_platform.port;
    port.setSettings(QStringLiteral("9600,n,8,1"));
    port.setInputMode(SerialPort::TextMode);
    port.setInputLen(0);
    m_link->openCommunications();
}

void FormMonitor::stopMonitor()
{
    const OperationScope stopping(*this, Operation::Stopping);
    StatusUpdate = false;
    m_platform.waiter.pause(1.0);
    // The start screen takes the monitor's place; a screen of another mode
    // (the editor during an upload) stays as it is.
    if (screenShown() == Screen::Monitor)
        showScreen(Screen::Start);
    InMonitor = false;
    setMenus();
}

void FormMonitor::CommandMonitor_Click()
{
    if (onCheck510520)
        onCheck510520();
}

void FormMonitor::MonitorMenu_Click()
{
    if (onCheck510520)
        onCheck510520();
}

void FormMonitor::showProfileCaption()
{
    setWindowTitle(Caption + QStringLiteral("  (") + CurrentProfileName + QLatin1Char(')'));
}

void FormMonitor::CommandProgram_Click()
{
    if (!ProgramScreensAvailable)
        return;
    InProgram = true;
    InMonitor = false;
    MonitorMenu->setChecked(false);
    menuProgram->setChecked(true);
    menuMain->setChecked(false);
    showScreen(Screen::Editor);
    ProfileChanged = false;
    showProfileCaption();
    // The Settings menu goes with the Main Menu's check mark.
    setMenus();
}

void FormMonitor::menuProgram_Click()
{
    if (!ProgramScreensAvailable)
        return;
    // From a monitor: its loop ends first, then the editor shows.
    if (deferWhileBusy([this] { menuProgram_Click(); }))
        return;
    if (leaveNetworkMonitor)
        leaveNetworkMonitor();
    stopMonitor();
    // The editor is the program mode whichever way it was reached, so the
    // menus that setMenus gives later agree with the screen.
    InProgram = true;
    MonitorMenu->setChecked(false);
    menuProgram->setChecked(true);
    menuMain->setChecked(false);
    showScreen(Screen::Editor);
    setMenus();
    m_platform.waiter.yieldOnce();
    showProfileCaption();
}

void FormMonitor::menuMain_Click()
{
    if (deferWhileBusy([this] { menuMain_Click(); }))
        return;
    stopMonitor();
    showScreen(Screen::Start);
    InMonitor = false;
    InProgram = false;
    setMenus();
}

void FormMonitor::sendGoodbye(bool last)
{
    if (m_platform.port.portOpen())
        m_platform.port.output(QByteArray(1, cmd::Goodbye));
    if (last)
        m_platform.port.seal();
}

void FormMonitor::endProgram()
{
    m_ending = true;
    m_platform.waiter.setClosing();
    close();
    QCoreApplication::quit();
}

void FormMonitor::ExitMenu_Click()
{
    if (m_operation != Operation::None) {
        requestExit(true);
        return;
    }
    stopMonitor();
    if (ProfileChanged) {
        const Dialogs::Answer a = m_platform.dialogs.askOkCancel(QStringLiteral("Discard current profile?"),
                                                                 QStringLiteral("Profile changed"));
        Response = a == Dialogs::Ok ? 1 : 2;
        if (a == Dialogs::Cancel) {
            sendGoodbye(false);
            return;
        }
    }
    finishExit(true);
}

void FormMonitor::finishExit(bool fromMenu)
{
    if (fromMenu) {
        m_platform.settings.setSetting(QStringLiteral("Screen height"),
                                       QString::number(pixelsToTwipsY(height(), this)));
        m_platform.settings.setSetting(QStringLiteral("Screen width"), QString::number(pixelsToTwipsX(width(), this)));
    }
    sendGoodbye(true);
    endProgram();
}

void FormMonitor::Form_Unload()
{
    stopMonitor();
    sendGoodbye(true);
}

void FormMonitor::closeEvent(QCloseEvent* event)
{
    if (!m_ending && m_operation != Operation::None) {
        // The window stays until the operation has ended (or is not abandoned).
        event->ignore();
        requestExit(false);
        return;
    }
    if (!m_ending) {
        m_ending = true;
        Form_Unload();
        m_platform.waiter.setClosing();
        QCoreApplication::quit();
    }
    if (m_about)
        m_about->close();
    event->accept();
}

} // namespace gx
