#include "formmonitor.h"

#include "aboutbox.h"
#include "artwork.h"
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
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace gx {

namespace {

const QString Caption = QStringLiteral("GX510-520 Program / Monitor");
const QString DefaultHeight = QStringLiteral("8000");
const QString DefaultWidth = QStringLiteral("10000");

// Checkable menu items change their check mark only through the program's own
// rules, never by being clicked.
void onClick(QAction* action, std::function<void()> handler)
{
    QObject::connect(action, &QAction::triggered, action, [action, handler](bool) {
        if (action->isCheckable())
            action->setChecked(!action->isChecked());
        handler();
    });
}

QAction* item(QMenu* menu, const char* name, const QString& text, bool checkable = false)
{
    QAction* a = menu->addAction(text);
    a->setObjectName(QString::fromLatin1(name));
    a->setCheckable(checkable);
    return a;
}

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

void FormMonitor::buildMenus()
{
    QMenuBar* bar = menuBar();
    FileMenu = bar->addMenu(QStringLiteral("File"));
    FileMenu->setObjectName(QStringLiteral("FileMenu"));
    menuLoadDisk = item(FileMenu, "menuLoadDisk", QStringLiteral("Open profile from disk"));
    menuSaveDisk = item(FileMenu, "menuSaveDisk", QStringLiteral("Save profile to disk"));
    FileMenu->addSeparator();
    menuLoadGX510 = item(FileMenu, "menuLoadGX510", QStringLiteral("Upload profile from Genpilot"));
    menuSaveGX510 = item(FileMenu, "menuSaveGX510", QStringLiteral("Download profile to Genpilot"));
    FileMenu->addSeparator();
    menuPrintProfile = item(FileMenu, "menuPrintProfile", QStringLiteral("Print current profile"));
    menuPrinterSetup = item(FileMenu, "menuPrinterSetup", QStringLiteral("Printer setup"));
    FileMenu->addSeparator();
    ExitMenu = item(FileMenu, "ExitMenu", QStringLiteral("Exit"));

    menuView = bar->addMenu(QStringLiteral("View"));
    menuView->setObjectName(QStringLiteral("menuView"));
    menuMain = item(menuView, "menuMain", QStringLiteral("Main Menu"), true);
    MonitorMenu = item(menuView, "MonitorMenu", QStringLiteral("Monitor"), true);
    menuProgram = item(menuView, "menuProgram", QStringLiteral("Program"), true);
    menuLog = item(menuView, "menuLog", QStringLiteral("Log calls"), true);
    menuFleet = item(menuView, "menuFleet", QStringLiteral("Fleet"));

    menuSettings = bar->addMenu(QStringLiteral("Settings"));
    menuSettings->setObjectName(QStringLiteral("menuSettings"));
    comPortMenu = item(menuSettings, "comPortMenu", QStringLiteral("Com Ports"));
    menuLocCon = item(menuSettings, "menuLocCon", QStringLiteral("Local Connection"), true);
    menuRemCon = item(menuSettings, "menuRemCon", QStringLiteral("Remote connection"), true);

    menuModem = bar->addMenu(QStringLiteral("Modem"));
    menuModem->setObjectName(QStringLiteral("menuModem"));
    menuConnect = item(menuModem, "menuConnect", QStringLiteral("Connect"));
    menuDisconnect = item(menuModem, "menuDisconnect", QStringLiteral("Disconnect"));
    menuDisconnect->setEnabled(false);

    menuHelp = bar->addMenu(QStringLiteral("Help"));
    menuHelp->setObjectName(QStringLiteral("menuHelp"));
    menuWebHaldenUSA = item(menuHelp, "menuWebHaldenUSA", QStringLiteral("Halden USA Home page"));
    meunWebHaldenUK = item(menuHelp, "meunWebHaldenUK", QStringLiteral("Halden UK Home page"));
    menuWeb510home = item(menuHelp, "menuWeb510home", QStringLiteral("Halden UK GX510-520 Home page"));
    menuHelp->addSeparator();
    menuAbout = item(menuHelp, "menuAbout", QStringLiteral("About"));

    onClick(ExitMenu, [this] { ExitMenu_Click(); });
    onClick(menuMain, [this] { menuMain_Click(); });
    onClick(MonitorMenu, [this] { MonitorMenu_Click(); });
    onClick(menuProgram, [this] { menuProgram_Click(); });
    onClick(menuAbout, [this] { menuAbout_Click(); });
    onClick(menuWebHaldenUSA, [this] { menuWebHaldenUSA_Click(); });
    onClick(meunWebHaldenUK, [this] { meunWebHaldenUK_Click(); });
    onClick(menuWeb510home, [this] { menuWeb510home_Click(); });
    // Items whose handlers belong to other screens keep their check marks for
    // those handlers to set.
    for (QAction* a : {menuLog, menuLocCon, menuRemCon})
        onClick(a, [] {});
}

void FormMonitor::buildScreens()
{
    auto* central = new QWidget;
    central->setObjectName(QStringLiteral("central"));
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(6, 6, 6, 6);

    TabStrip1 = new QTabBar;
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    for (const QString& caption : ProfileEditor::tabCaptions())
        TabStrip1->addTab(caption);
    TabStrip1->setExpanding(false);
    connect(TabStrip1, &QTabBar::currentChanged, this, [this](int) { TabStrip1_Click(); });
    column->addWidget(TabStrip1);

    for (int i = 0; i < int(Frame1.size()); ++i) {
        Frame1[i] = new QGroupBox;
        Frame1[i]->setObjectName(QStringLiteral("Frame1(%1)").arg(i));
        Frame1[i]->setVisible(false);
        column->addWidget(Frame1[i], 1);
    }
    FrameNetMonitor = new QGroupBox(QStringLiteral("Network Monitor"));
    FrameNetMonitor->setObjectName(QStringLiteral("FrameNetMonitor"));
    FrameNetMonitor->setVisible(false);
    column->addWidget(FrameNetMonitor, 1);
    FrameLog = new QGroupBox(QStringLiteral("Call log"));
    FrameLog->setObjectName(QStringLiteral("FrameLog"));
    FrameLog->setVisible(false);
    column->addWidget(FrameLog, 1);
    FrameFleet = new QGroupBox(QStringLiteral("Fleet"));
    FrameFleet->setObjectName(QStringLiteral("FrameFleet"));
    FrameFleet->setVisible(false);
    column->addWidget(FrameFleet, 1);

    // The start screen: the four Quick Launch buttons beside a picture.
    auto* start = new QWidget;
    start->setObjectName(QStringLiteral("StartScreen"));
    auto* row = new QHBoxLayout(start);
    FrameQuickLaunch = new QGroupBox(QStringLiteral("Quick Launch"));
    FrameQuickLaunch->setObjectName(QStringLiteral("FrameQuickLaunch"));
    auto* buttons = new QVBoxLayout(FrameQuickLaunch);
    CommandLogCalls = new QPushButton(QStringLiteral("Log Calls"));
    CommandLogCalls->setObjectName(QStringLiteral("CommandLogCalls"));
    CommandMonitor = new QPushButton(QStringLiteral("Monitor"));
    CommandMonitor->setObjectName(QStringLiteral("CommandMonitor"));
    CommandProgram = new QPushButton(QStringLiteral("Program"));
    CommandProgram->setObjectName(QStringLiteral("CommandProgram"));
    CommandFleet = new QPushButton(QStringLiteral("Fleet"));
    CommandFleet->setObjectName(QStringLiteral("CommandFleet"));
    for (QPushButton* b : {CommandLogCalls, CommandMonitor, CommandProgram, CommandFleet}) {
        b->setMinimumHeight(40);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    connect(CommandMonitor, &QPushButton::clicked, this, [this] { CommandMonitor_Click(); });
    connect(CommandProgram, &QPushButton::clicked, this, [this] { CommandProgram_Click(); });
    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(artwork::generatorSet(QSize(360, 260)));
    Image1->setMinimumSize(120, 90);
    row->addWidget(FrameQuickLaunch, 0);
    row->addWidget(Image1, 1);
    column->addWidget(start, 1);

    setCentralWidget(central);
}

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

void FormMonitor::setMenus()
{
    Link& l = *m_link;
    SettingsStore& s = m_platform.settings;
    l.usage = s.setting(QStringLiteral("use"));
    l.LocalPort = s.setting(QStringLiteral("CurrentPort"));
    l.MODEMport = s.setting(QStringLiteral("CurrentModemPort"));
    const bool local = l.usage == QLatin1String("local");
    const bool remote = l.usage == QLatin1String("remote");
    const bool localPort = numericValue(l.LocalPort) > 0;
    const bool modemPort = numericValue(l.MODEMport) > 0;

    menuLocCon->setEnabled(localPort);
    menuLocCon->setChecked(localPort && local);
    menuRemCon->setEnabled(modemPort);
    if (modemPort && remote) {
        menuRemCon->setChecked(true);
        menuLocCon->setChecked(false);
    } else {
        menuRemCon->setChecked(false);
    }
    const bool L = menuLocCon->isChecked();
    const bool R = menuRemCon->isChecked();

    const bool transfer = (L && !InMonitor) || (R && ModemConnected && !StatusUpdate);
    menuLoadGX510->setEnabled(transfer);
    menuSaveGX510->setEnabled(transfer);
    const bool disk = !InMonitor && !StatusUpdate;
    menuLoadDisk->setEnabled(disk);
    menuSaveDisk->setEnabled(disk);

    if (!InMonitor && !InProgram) {
        MonitorMenu->setChecked(false);
        menuProgram->setChecked(false);
        menuMain->setChecked(true);
    } else {
        menuMain->setChecked(false);
    }
    const bool monitor = L || (R && ModemConnected);
    MonitorMenu->setEnabled(monitor);
    CommandMonitor->setEnabled(monitor);
    if (InMonitor) {
        menuMain->setChecked(false);
        menuProgram->setChecked(false);
        menuLog->setChecked(false);
        MonitorMenu->setChecked(true);
    } else {
        MonitorMenu->setChecked(false);
    }
    const bool log = R && !ModemConnected;
    menuLog->setEnabled(log);
    CommandLogCalls->setEnabled(log);
    if (modemPort && remote) {
        menuConnect->setEnabled(!ModemConnected);
        menuDisconnect->setEnabled(ModemConnected);
    } else {
        menuConnect->setEnabled(false);
        menuDisconnect->setEnabled(false);
    }
    menuSettings->menuAction()->setEnabled(menuMain->isChecked());
    // Entries that a dial or a running operation disabled come back here.
    for (QAction* a : {menuMain, menuProgram, menuFleet, menuPrintProfile, menuPrinterSetup, comPortMenu, ExitMenu})
        a->setEnabled(true);
    CommandFleet->setEnabled(true);
    for (QMenu* m : {FileMenu, menuView, menuModem})
        m->menuAction()->setEnabled(true);

    // Without the limits the editor has no ranges: its screens stay closed.
    if (!ProgramScreensAvailable) {
        for (QAction* a : {menuProgram, menuLoadGX510, menuSaveGX510, menuLoadDisk, menuSaveDisk,
                           menuPrintProfile})
            a->setEnabled(false);
        CommandProgram->setEnabled(false);
    }
    applyFence();
}

void FormMonitor::setStartScreenVisible(bool visible)
{
    FrameQuickLaunch->setVisible(visible);
    Image1->setVisible(visible);
    FrameQuickLaunch->parentWidget()->setVisible(visible);
}

QSize FormMonitor::firstStartSize() const
{
    QSize page;
    for (int i = 1; i < int(Frame1.size()); ++i)
        if (const auto* content = Frame1[size_t(i)]->findChild<QWidget*>(QStringLiteral("PageContent%1").arg(i)))
            page = page.expandedTo(content->sizeHint());
    if (page.isEmpty())
        return {};
    // The page inside its frame, under the tab strip and the menu bar.
    const int frame = 2 * (style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 12);
    return QSize(page.width() + frame + 16,
                 page.height() + frame + TabStrip1->sizeHint().height() + menuBar()->sizeHint().height() + 40);
}

bool FormMonitor::editorShown() const
{
    return TabStrip1->isVisibleTo(const_cast<FormMonitor*>(this));
}

void FormMonitor::showEditorScreen()
{
    showScreen(Screen::Editor);
    InProgram = true;
    menuMain->setChecked(false);
    MonitorMenu->setChecked(false);
    menuProgram->setChecked(true);
    menuSettings->menuAction()->setEnabled(false);
}

void FormMonitor::showStartScreen()
{
    showScreen(Screen::Start);
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

void FormMonitor::TabStrip1_Click()
{
    for (QGroupBox* f : Frame1)
        f->setVisible(false);
    const int page = ProfileEditor::pageOfTab(TabStrip1->tabText(TabStrip1->currentIndex()));
    if (page >= 0)
        Frame1[size_t(page)]->setVisible(true);
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

void FormMonitor::menuAbout_Click()
{
    if (!m_about)
        m_about = new AboutBox(m_platform.desktop, this);
    m_about->show();
    m_about->raise();
}

void FormMonitor::menuWebHaldenUSA_Click()
{
    RetVal = m_platform.desktop.openUrl(QUrl(QStringLiteral("https://www.haldenusa.com/")));
}

void FormMonitor::meunWebHaldenUK_Click()
{
    RetVal = m_platform.desktop.openUrl(QUrl(QStringLiteral("https://www.halden.co.uk/")));
}

void FormMonitor::menuWeb510home_Click()
{
    RetVal = m_platform.desktop.openUrl(QUrl(QStringLiteral("https://www.halden.co.uk/gx510-520/")));
}

} // namespace gx
