// The connection menus and dialogs, dialling out and hanging up, and starting the call log's answer loop.

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
    window.fenceHooks.push_back([this](Operation op) { fenceDialogs(op); });
}

void RemoteAccess::fenceDialogs(Operation op)
{
    const bool idle = op == Operation::None;
    // Apply and Cancel reopen the port: never under an operation or a call.
    if (m_settings)
        m_settings->setEnabled(idle && !m_window.ModemConnected);
    if (m_book)
        m_book->setEnabled(idle);
    if (m_dialup) {
        m_dialup->setEnabled(idle || op == Operation::Dial);
        m_dialup->setDialling(op == Operation::Dial);
    }
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
        {[&w] { w.setMenus(); }, [&w] { w.link().openCommunications(); }, [&w] { return w.link().PortOpenError; },
         [&w] {
             if (w.fleetSettingsChanged)
                 w.fleetSettingsChanged();
         },
         &w.platform().files},
        serialDevices, &w);
    m_settings->setWindowFlag(Qt::Window);
    m_settings->Form_Load();
    fenceDialogs(w.operation());
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
    // Switching lines reopens the port: never while a call is up (the entries
    // are disabled then) or an operation runs.
    if (w.ModemConnected || w.operation() != Operation::None)
        return;
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
            if (m_window.operation() == Operation::Dial)
                m_dialer->cancel();
            m_dialup->hide();
            if (m_window.operation() != Operation::Dial)
                m_dialup->deleteLater();
        });
        m_dialup->Form_Load();
        fenceDialogs(m_window.operation());
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
    fenceDialogs(m_window.operation());
    m_book->show();
    m_book->raise();
}

void RemoteAccess::CommandDial_Click()
{
    FormMonitor& w = m_window;
    QPointer<FormDialup> dialog = m_dialup;
    if (!dialog || w.operation() != Operation::None)
        return;
    w.ModemConnected = false;
    Dialer::Result result;
    {
        const OperationScope dialling(w, Operation::Dial);
        result = m_dialer->dial(dialog->TextPhoneNumber->text(), dialog->TextRemotePIN->text(),
                                [dialog](const QString& text) {
                                    if (dialog)
                                        dialog->TextStatus->setText(text);
                                });
    }
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
    // After a Cancel the menus are those setMenus gives too: a call hung up
    // after CONNECT must not leave "Disconnect" live.
    w.setMenus();
    if (dialog) {
        dialog->hide();
        dialog->deleteLater();
    }
}

void RemoteAccess::menuDisconnect_Click()
{
    // While monitoring over the line: the monitor stops first.
    if (m_window.deferWhileBusy([this] { menuDisconnect_Click(); }))
        return;
    // The monitor's loop has ended: its screen goes before the line does.
    if (m_window.InMonitor)
        m_window.stopMonitor();
    {
        const OperationScope hangingUp(m_window, Operation::HangUp);
        m_dialer->hangUp();
    }
    m_window.ModemConnected = false;
    m_window.setMenus();
}

void RemoteAccess::CommandLogCalls_Click()
{
    menuLog_Click();
}

void RemoteAccess::menuLog_Click()
{
    FormMonitor& w = m_window;
    if (w.operation() != Operation::None)
        return;
    w.stopMonitor();
    w.InProgram = false;
    w.InMonitor = false;
    m_answerer->setLogFolders(filesFolder(w.ProgramDirectory), userDataFolder());
    CallAnswerer::End end;
    {
        const OperationScope answering(w, Operation::AnswerLoop);
        w.showScreen(FormMonitor::Screen::CallLog);
        end = m_answerer->logIncomingCalls();
    }
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
    w.setMenus();
    w.showScreen(FormMonitor::Screen::Start);
}

} // namespace gx
