// The main window's menu bar: its entries, setMenus (which entries are
// enabled and checked in each mode and connection), and the Help entries.

#include "formmonitor.h"

#include "aboutbox.h"

#include "link/link.h"
#include "platform/desktop.h"
#include "platform/settingsstore.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QUrl>

namespace gx {

namespace {

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
