#include "shellfixture.h"

#include <QMenuBar>

using namespace gx;
using namespace gx::test;

// ---- Start-up ----

TEST(StartUp, opensTheConfiguredPortAtNineSixHundredAndShowsTheStartScreen)
{
    ShellFixture f;
    f.settings.useLocal("3");
    f.window.Form_Load();
    EXPECT_EQ(f.window.windowTitle(), QStringLiteral("GX510-520 Program / Monitor V2.2.0"));
    EXPECT_TRUE(f.port.portOpen());
    EXPECT_EQ(f.port.commPort(), 3);
    EXPECT_EQ(f.port.settings(), QStringLiteral("9600,n,8,1"));
    EXPECT_EQ(f.port.inputMode(), 0);
    EXPECT_EQ(f.window.CurrentProfileName, QStringLiteral("defaults.520"));
    EXPECT_EQ(f.window.screenShown(), FormMonitor::Screen::Start);
    EXPECT_EQ(screensShown(f.window), 1);
    EXPECT_TRUE(f.port.written().isEmpty()) << "nothing is sent until a mode is chosen";
}

TEST(StartUp, sizesTheWindowFromTheSettingsInTwips)
{
    ShellFixture f;
    f.settings.setSetting(QStringLiteral("Screen height"), QStringLiteral("4320")); // 3 inches
    f.settings.setSetting(QStringLiteral("Screen width"), QStringLiteral("not a number"));
    installProgram(f.window);  // with the program pages, whose first-start size a stored size overrides
    f.window.Form_Load();
    const int dpiY = f.window.logicalDpiY(), dpiX = f.window.logicalDpiX();
    EXPECT_EQ(f.window.height(), 3 * dpiY);
    EXPECT_NEAR(f.window.width(), 10000.0 * dpiX / 1440, 1.0) << "text falls back to the default";
}

TEST(StartUp, everyMenuItemHasItsNameAndCaption)
{
    ShellFixture f;
    const std::vector<std::pair<const char*, const char*>> items = {
        {"menuLoadDisk", "Open profile from disk"},    {"menuSaveDisk", "Save profile to disk"},
        {"menuLoadGX510", "Upload profile from Genpilot"}, {"menuSaveGX510", "Download profile to Genpilot"},
        {"menuPrintProfile", "Print current profile"}, {"menuPrinterSetup", "Printer setup"},
        {"ExitMenu", "Exit"},                          {"menuMain", "Main Menu"},
        {"MonitorMenu", "Monitor"},                    {"menuProgram", "Program"},
        {"menuLog", "Log calls"},                      {"menuFleet", "Fleet"},
        {"comPortMenu", "Com Ports"},
        {"menuLocCon", "Local Connection"},            {"menuRemCon", "Remote connection"},
        {"menuConnect", "Connect"},                    {"menuDisconnect", "Disconnect"},
        {"menuWebHaldenUSA", "Halden USA Home page"},  {"meunWebHaldenUK", "Halden UK Home page"},
        {"menuWeb510home", "Halden UK GX510-520 Home page"}, {"menuAbout", "About"}};
    for (const auto& [name, caption] : items) {
        auto* a = f.window.findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_TRUE(a) << name;
        EXPECT_EQ(a->text(), QString::fromLatin1(caption));
    }
    QStringList menus;
    for (QAction* a : f.window.menuBar()->actions())
        menus << a->menu()->objectName() + QLatin1Char('=') + a->text();
    EXPECT_EQ(menus.join(QLatin1Char(',')),
              QStringLiteral("FileMenu=File,menuView=View,menuSettings=Settings,menuModem=Modem,menuHelp=Help"));
}

namespace {

// Checks menu items and buttons by name: "+x" usable, "-x" greyed, "*x" checked, "_x" not checked.
void expectMenus(FormMonitor& w, const QString& states, const char* when)
{
    for (const QString& s : states.split(' ', Qt::SkipEmptyParts)) {
        const QString name = s.mid(1);
        bool enabled = false, checked = false;
        if (auto* m = w.findChild<QMenu*>(name))
            enabled = m->menuAction()->isEnabled(), checked = m->menuAction()->isChecked();
        else if (auto* a = w.findChild<QAction*>(name))
            enabled = a->isEnabled(), checked = a->isChecked();
        else if (auto* b = w.findChild<QPushButton*>(name))
            enabled = b->isEnabled(), checked = b->isChecked();
        else
            ADD_FAILURE() << "no " << qPrintable(name);
        const bool want = s[0] == '+' || s[0] == '*';
        EXPECT_EQ(s[0] == '+' || s[0] == '-' ? enabled : checked, want) << qPrintable(s) << ", " << when;
    }
}

} // namespace

// ---- setMenus ----

TEST(SetMenus, FollowTheLineTheConnectionAndTheMode)
{
    const struct {
        const char* when;
        std::function<void(ShellFixture&)> setUp;
        const char* states;
    } rows[] = {
        {"start-up with no port configured", [](ShellFixture& f) { f.window.Form_Load(); },
         "-menuLocCon -menuRemCon -MonitorMenu -CommandMonitor -menuConnect -menuLoadGX510 +menuLoadDisk *menuMain +menuSettings"},
        {"local line",
         [](ShellFixture& f) {
             f.settings.useLocal();
             f.settings.setSetting("CurrentModemPort", "2");
         },
         "*menuLocCon _menuRemCon +menuRemCon +MonitorMenu +menuLoadGX510 -menuLog -menuConnect"},
        {"local line, monitoring",
         [](ShellFixture& f) {
             f.settings.useLocal();
             f.window.InMonitor = f.window.StatusUpdate = true;
         },
         "-menuLoadGX510 -menuSaveDisk *MonitorMenu _menuMain -menuSettings"},
        {"modem line", [](ShellFixture& f) { f.settings.useRemote(); f.settings.setSetting("CurrentPort", "1"); },
         "*menuRemCon _menuLocCon -MonitorMenu +menuLog +CommandLogCalls +menuConnect -menuDisconnect -menuLoadGX510"},
        {"modem connected",
         [](ShellFixture& f) {
             f.settings.useRemote();
             f.window.ModemConnected = true;
         },
         "+MonitorMenu -menuLog -menuConnect +menuDisconnect +menuLoadGX510"},
        {"monitoring over the modem",
         [](ShellFixture& f) {
             f.settings.useRemote();
             f.window.ModemConnected = f.window.StatusUpdate = true;
         },
         "-menuLoadGX510"},
        {"use without a port",
         [](ShellFixture& f) {
             f.settings.useRemote("0");
             f.settings.setSetting("CurrentPort", "4");
         },
         "+menuLocCon _menuLocCon _menuRemCon -MonitorMenu -menuConnect"},
    };
    for (const auto& row : rows) {
        ShellFixture f;
        row.setUp(f);
        f.window.setMenus();
        expectMenus(f.window, row.states, row.when);
    }
}

// ---- Modes ----

// The Program button clears the changed flag, the Program menu keeps it.
TEST(Modes, TheEditorFromQuickLaunchOrFromTheMonitorMenuAndBack)
{
    ShellFixture f;
    f.start();
    f.window.ProfileChanged = true;
    f.window.CommandProgram->click();
    EXPECT_FALSE(f.window.ProfileChanged);
    expectMenus(f.window, "*menuProgram _menuMain", "in the editor");
    EXPECT_EQ(f.window.screenShown(), FormMonitor::Screen::Editor);
    EXPECT_FALSE(f.window.Frame1[7]->isHidden()) << "the first tab, Profile, shows page 7";
    f.window.TabStrip1->setCurrentIndex(3); // "Generator setup (2)"
    EXPECT_FALSE(f.window.Frame1[2]->isHidden());
    EXPECT_TRUE(f.window.Frame1[7]->isHidden());
    f.window.menuMain->trigger();
    EXPECT_EQ(f.window.screenShown(), FormMonitor::Screen::Start);

    f.window.InMonitor = f.window.StatusUpdate = f.window.ProfileChanged = true;
    f.window.menuProgram->trigger();
    EXPECT_TRUE(f.window.ProfileChanged);
    expectMenus(f.window, "*menuProgram _MonitorMenu", "program from the monitor");
    EXPECT_EQ(f.window.screenShown(), FormMonitor::Screen::Editor);
    EXPECT_EQ(screensShown(f.window), 1);
}

// ---- Ending the program ----

TEST(Exit, OnlyExitAsksAboutAChangedProfileAndSavesTheSizeAndTheControllerHearsGoodbye)
{
    const struct {
        const char* what;
        bool portOpen, changed, byCloseBox;
        const char* asked;  // "" for no question
        bool ends;          // the program ends, its window size saved
    } rows[] = {
        {"Exit, Cancel to the question", true, true, false, "Discard current profile? | Profile changed", false},
        {"Exit, nothing changed", true, false, false, "", true},
        {"the close box does not ask", true, true, true, "", false},
        {"the close box with no port configured", false, false, true, "", false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        ShellFixture f;
        if (r.portOpen)
            f.settings.useLocal();
        f.window.Form_Load();
        f.window.ProfileChanged = r.changed;
        f.window.resize(f.window.logicalDpiX() * 5, f.window.logicalDpiY() * 4);
        f.dialogs.answers = {Dialogs::Cancel};
        if (r.byCloseBox)
            f.window.close();
        else
            f.window.ExitMenu->trigger();
        EXPECT_EQ(f.dialogs.asked, *r.asked ? QStringList{r.asked} : QStringList{});
        EXPECT_EQ(f.port.written(), r.portOpen ? QByteArray(1, '\x12') : QByteArray());
        EXPECT_EQ(f.settings.setting(QStringLiteral("Screen width")), r.ends ? "7200" : "");
        EXPECT_EQ(f.settings.setting(QStringLiteral("Screen height")), r.ends ? "5760" : "");
        if (!r.byCloseBox) {
            EXPECT_EQ(f.waiter.closing(), r.ends);
        }
    }
}

// ---- Help ----

TEST(Help, webItemsOpenTheBrowserAndTheAboutBoxOffersSystemInformation)
{
    ShellFixture f;
    f.window.menuWebHaldenUSA->trigger();
    f.window.meunWebHaldenUK->trigger();
    f.window.menuWeb510home->trigger();
    EXPECT_EQ(f.desktop.urls.size(), 3);
    EXPECT_NE(f.desktop.urls[0], f.desktop.urls[1]);

    f.window.menuAbout->trigger();
    auto* about = f.window.findChild<QWidget*>(QStringLiteral("frmAbout"));
    ASSERT_TRUE(about);
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(about->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(), QStringLiteral("Version 2.2.0"));
    EXPECT_FALSE(about->findChild<QPushButton*>(QStringLiteral("cmdSysInfo"))->isEnabled())
        << "no system-information tool on this machine";
}

// ---- Status messages ----

TEST(StatusMessages, errorReplacesInformationWithABeepAndSizesByCharacters)
{
    ShellFixture f;
    StatusWindows& s = f.window.statusWindows();
    s.displayStatus(QStringLiteral("Uploading from Genpilot.."), 0, 0);
    ASSERT_TRUE(s.FormStatusOK());
    EXPECT_TRUE(s.FormStatusOK()->isVisible());
    const QString thirty(30, QLatin1Char('x'));
    s.displayStatus(thirty, 0, 1);
    EXPECT_FALSE(s.FormStatusOK()->isVisible());
    ASSERT_TRUE(s.FormStatusError());
    EXPECT_TRUE(s.FormStatusError()->isVisible());
    EXPECT_EQ(f.desktop.beeps, 1);
    EXPECT_EQ(s.FormStatusError()->width(), qRound(6000.0 * s.FormStatusError()->logicalDpiX() / 1440));
    EXPECT_EQ(s.FormStatusError()->windowTitle(), QStringLiteral("GX510-520"));
    EXPECT_EQ(statusMessage(f.window, true), thirty);

    // It stays until OK; the next error creates the window again.
    s.FormStatusError()->findChild<QPushButton*>(QStringLiteral("CommandAccept"))->click();
    EXPECT_FALSE(s.FormStatusError());
    s.displayStatus(QStringLiteral("No ID received from GX510-520"), 0, 1);
    EXPECT_TRUE(s.FormStatusError()->isVisible());
}

TEST(StatusMessages, aTimedMessageHoldsItsCallerThenClearsBothWindows)
{
    ShellFixture f;
    StatusWindows& s = f.window.statusWindows();
    s.displayStatus(QStringLiteral("Profile upload error"), 0, 1);
    const double start = f.clock.now();
    s.displayStatus(QStringLiteral("Upload successful"), 1, 0);
    EXPECT_NEAR(f.clock.now() - start, 1.0, 0.06);
    EXPECT_FALSE(s.FormStatusOK()->isVisible());
    EXPECT_FALSE(s.FormStatusError()->isVisible());
}
