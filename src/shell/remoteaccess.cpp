#include "remoteaccess.h"

#include "formmonitor.h"

#include "link/link.h"
#include "platform/clock.h"
#include "platform/settingsstore.h"
#include "platform/waiter.h"
#include "remote/callanswer.h"
#include "remote/calllogscreen.h"
#include "remote/dialer.h"
#include "remote/formaddressbook.h"
#include "remote/formdialup.h"
#include "remote/formsettings.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabBar>

namespace gx {

RemoteAccess::RemoteAccess(FormMonitor& window)
    : QObject(&window), m_window(window), m_dialer(std::make_unique<Dialer>(window.link())),
      m_logScreen(new CallLogScreen(window.FrameLog))
{
    const Platform& p = window.platform();
    m_answerer = std::make_unique<CallAnswerer>(window.link(), p.clock, p.files, *m_logScreen);
    connect(m_logScreen, &CallLogScreen::quitClicked, this, [this] { m_answerer->QuitLog = true; });
    connect(m_logScreen, &CallLogScreen::stayConnectedClicked, this, [this] { m_answerer->GoMonitor = true; });
    connect(m_logScreen, &CallLogScreen::hangupClicked, this, [this] { m_answerer->NoGoMonitor = true; });

    const std::pair<QAction*, void (RemoteAccess::*)()> items[] = {
        {window.comPortMenu, &RemoteAccess::comPortMenu_Click},
        {window.menuLocCon, &RemoteAccess::menuLocCon_Click},
        {window.menuRemCon, &RemoteAccess::menuRemCon_Click},
        {window.menuConnect, &RemoteAccess::menuConnect_Click},
        {window.menuDisconnect, &RemoteAccess::menuDisconnect_Click},
        {window.menuLog, &RemoteAccess::menuLog_Click},
    };
    for (const auto& [action, handler] : items)
        connect(action, &QAction::triggered, this, [this, handler = handler] { (this->*handler)(); });
    connect(window.CommandLogCalls, &QPushButton::clicked, this, &RemoteAccess::CommandLogCalls_Click);
    connect(&window.link(), &Link::settingsDialogRequested, this, &RemoteAccess::comPortMenu_Click);
}

RemoteAccess::~RemoteAccess() = default;

namespace {
// Where the call log and the address book live: the folder the program was
// started in, as the users of such programs expect; a start folder the user
// cannot write to (a desktop menu may start programs in /) gives way to the
// user's own data folder.
QString userDataFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)).filePath(QStringLiteral("GX520"));
}

QString filesFolder(const QString& startFolder)
{
    if (QFileInfo(startFolder).isWritable())
        return startFolder;
    QDir().mkpath(userDataFolder());
    return userDataFolder();
}
} // namespace

FormSettings* RemoteAccess::settingsDialog() const
{
    return m_settings;
}

FormDialup* RemoteAccess::dialupDialog() const
{
    return m_dialup;
}

FormAddressBook* RemoteAccess::addressBook() const
{
    return m_book;
}

void RemoteAccess::comPortMenu_Click()
{
    if (m_settings) {
        m_settings->raise();
        m_settings->activateWindow();
        return;
    }
    FormMonitor& w = m_window;
    m_settings = new FormSettings(
        w.platform().settings,
        {[&w] { w.setMenus(); }, [&w] { w.link().openCommunications(); }, [&w] { return w.link().PortOpenError; }},
        serialDevices, &w);
    m_settings->setWindowFlag(Qt::Window);
    m_settings->Form_Load();
}

void RemoteAccess::menuLocCon_Click()
{
    useConnection(false);
}

void RemoteAccess::menuRemCon_Click()
{
    useConnection(true);
}

void RemoteAccess::useConnection(bool remote)
{
    FormMonitor& w = m_window;
    (remote ? w.menuLocCon : w.menuRemCon)->setChecked(false);
    (remote ? w.menuRemCon : w.menuLocCon)->setChecked(true);
    w.platform().settings.setSetting(QStringLiteral("use"), remote ? QStringLiteral("remote") : QStringLiteral("local"));
    w.setMenus();
    w.link().openCommunications();
}

void RemoteAccess::menuConnect_Click()
{
    if (!m_dialup) {
        m_dialup = new FormDialup(m_window.platform().settings, &m_window);
        m_dialup->setWindowFlag(Qt::Window);
        connect(m_dialup, &FormDialup::dialClicked, this, &RemoteAccess::CommandDial_Click);
        connect(m_dialup, &FormDialup::addressBookClicked, this, &RemoteAccess::CommandAddressBook_Click);
        connect(m_dialup, &FormDialup::cancelClicked, this, [this] {
            m_dialer->cancel();
            m_dialup->hide();
            if (!m_dialling)
                m_dialup->deleteLater();
        });
        m_dialup->Form_Load();
    }
    m_dialup->show();
    m_dialup->raise();
}

void RemoteAccess::CommandAddressBook_Click()
{
    if (!m_book) {
        const Platform& p = m_window.platform();
        m_book = new FormAddressBook(p.files, p.dialogs,
                                     QDir(filesFolder(m_window.ProgramDirectory)).filePath(QStringLiteral("address.txt")),
                                     m_dialup);
        m_book->setWindowFlag(Qt::Window);
        connect(m_book, &FormAddressBook::numberChosen, this, [this](const QString& number) {
            if (m_dialup)
                m_dialup->TextPhoneNumber->setText(number);
        });
    }
    m_book->show();
    m_book->raise();
}

void RemoteAccess::CommandDial_Click()
{
    FormMonitor& w = m_window;
    QPointer<FormDialup> dialog = m_dialup;
    if (!dialog)
        return;
    dialog->CommandDial->setEnabled(false);
    w.ModemConnected = false;
    m_dialling = true;
    const Dialer::Result result = m_dialer->dial(dialog->TextPhoneNumber->text(), dialog->TextRemotePIN->text(),
                                                 [dialog](const QString& text) {
                                                     if (dialog)
                                                         dialog->TextStatus->setText(text);
                                                 });
    m_dialling = false;
    if (result == Dialer::Result::LoggedOn) {
        w.MonitorMenu->setEnabled(true);
        w.menuProgram->setEnabled(true);
        w.menuConnect->setEnabled(false);
        w.menuDisconnect->setEnabled(true);
        w.ModemConnected = true;
    } else if (result == Dialer::Result::Rejected) {
        w.menuDisconnect->setEnabled(false);
        w.MonitorMenu->setEnabled(false);
        w.menuProgram->setEnabled(false);
        w.menuConnect->setEnabled(true);
    }
    if (result != Dialer::Result::Cancelled)
        w.setMenus();
    if (dialog) {
        dialog->CommandDial->setEnabled(true);
        dialog->close();
        dialog->deleteLater();
    }
}

void RemoteAccess::menuDisconnect_Click()
{
    m_dialer->hangUp();
    m_window.ModemConnected = false;
    m_window.setMenus();
}

void RemoteAccess::setLogMenusEnabled(bool enabled)
{
    FormMonitor& w = m_window;
    for (QAction* a : {w.menuLoadDisk, w.menuSaveDisk, w.menuLoadGX510, w.menuSaveGX510, w.menuPrintProfile,
                       w.menuPrinterSetup})
        a->setEnabled(enabled);
    for (QMenu* m : {w.menuView, w.menuModem, w.menuSettings})
        m->menuAction()->setEnabled(enabled);
}

void RemoteAccess::CommandLogCalls_Click()
{
    menuLog_Click();
}

void RemoteAccess::menuLog_Click()
{
    FormMonitor& w = m_window;
    w.stopMonitor();
    w.InProgram = false;
    w.InMonitor = false;
    w.showStartScreen();
    w.setStartScreenVisible(false);
    w.FrameLog->setVisible(true);
    setLogMenusEnabled(false);
    m_answerer->setLogFolders(filesFolder(w.ProgramDirectory), userDataFolder());
    const CallAnswerer::End end = m_answerer->logIncomingCalls();
    if (end == CallAnswerer::End::Closing)
        return;
    if (end == CallAnswerer::End::StayConnected) {
        for (QAction* a : {w.MonitorMenu, w.menuProgram, w.menuLoadGX510, w.menuSaveGX510, w.menuDisconnect})
            a->setEnabled(true);
        w.CommandMonitor->setEnabled(true);
        w.CommandProgram->setEnabled(true);
        w.menuConnect->setEnabled(false);
        w.CommandLogCalls->setEnabled(false);
        w.ModemConnected = true;
    }
    setLogMenusEnabled(true);
    w.FrameLog->setVisible(false);
    w.setMenus();
    w.showStartScreen();
}

} // namespace gx
