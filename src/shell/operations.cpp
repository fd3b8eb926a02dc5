// The main window while a long operation runs: which controls stay live, the
// ways out that wait for the operation to end, and Exit and the close box.

#include "formmonitor.h"

#include "link/link.h"
#include "platform/dialogs.h"
#include "platform/waiter.h"

#include <QAction>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>

namespace gx {

const char* operationName(Operation op)
{
    switch (op) {
    case Operation::None: return "none";
    case Operation::Stopping: return "stopping the monitor";
    case Operation::Monitor: return "monitor";
    case Operation::NetworkMonitor: return "network monitor";
    case Operation::Upload: return "profile upload";
    case Operation::Download: return "profile download";
    case Operation::Dial: return "dial";
    case Operation::AnswerLoop: return "answer loop";
    case Operation::HangUp: return "hang-up";
    }
    return "?";
}

OperationScope::OperationScope(FormMonitor& window, Operation op) : m_window(window), m_outer(window.m_operation)
{
    window.m_operation = op;
    window.applyFence();
}

OperationScope::~OperationScope()
{
    m_window.m_operation = m_outer;
    if (m_outer == Operation::None)
        m_window.operationEnded();
    else
        m_window.applyFence();
}

void FormMonitor::applyFence()
{
    const Operation op = m_operation;
    const bool idle = op == Operation::None;
    const bool monitoring = op == Operation::Monitor || op == Operation::NetworkMonitor;
    // Help touches neither the port nor the screens; Exit asks before it
    // ends anything. A monitor is left by the Main Menu, Program and
    // Disconnect entries, which wait for its loop to end.
    auto allowed = [&](const QAction* a) {
        if (a == ExitMenu || menuHelp->actions().contains(const_cast<QAction*>(a)))
            return true;
        return monitoring && (a == menuMain || a == menuProgram || a == menuDisconnect);
    };
    if (!idle) {
        for (QMenu* m : {FileMenu, menuView, menuSettings, menuModem})
            for (QAction* a : m->actions())
                if (!a->isSeparator() && !allowed(a))
                    a->setEnabled(false);
        for (QPushButton* b : {CommandLogCalls, CommandMonitor, CommandProgram, CommandFleet})
            b->setEnabled(false);
    } else if (ProgramScreensAvailable) {
        CommandProgram->setEnabled(true);
    }
    // The answer loop takes the View and Modem menus away whole.
    if (op == Operation::AnswerLoop)
        for (QMenu* m : {menuView, menuModem})
            m->menuAction()->setEnabled(false);
    // While a modem call is up the port must not be closed and opened under it.
    if (ModemConnected || !idle)
        menuSettings->menuAction()->setEnabled(false);
    if (ModemConnected)
        for (QAction* a : {comPortMenu, menuLocCon, menuRemCon})
            a->setEnabled(false);
    // The pages hold what a download sends and what an upload replaces.
    const bool editable = op != Operation::Upload && op != Operation::Download;
    for (size_t i = 1; i < Frame1.size(); ++i)
        Frame1[i]->setEnabled(editable);
    TabStrip1->setEnabled(editable);
    for (const auto& hook : fenceHooks)
        hook(op);
}

bool FormMonitor::deferWhileBusy(std::function<void()> action, bool stopNow)
{
    if (m_operation == Operation::None)
        return false;
    m_afterOperation.push_back(std::move(action));
    if (stopNow)
        m_platform.waiter.requestStop();
    return true;
}

void FormMonitor::operationEnded()
{
    m_platform.waiter.clearStopRequest();
    setMenus();
    if (m_pendingExit != PendingExit::None) {
        m_afterOperation.clear();
        finishExit(m_pendingExit == PendingExit::Menu);
        return;
    }
    // What was asked for while the operation ran, in the order asked; each
    // may start an operation of its own.
    std::vector<std::function<void()>> actions;
    actions.swap(m_afterOperation);
    for (const auto& action : actions)
        if (m_operation == Operation::None && !m_ending)
            action();
}

void FormMonitor::requestExit(bool fromMenu)
{
    if (m_pendingExit != PendingExit::None || m_ending)
        return;
    const bool transfer = m_operation == Operation::Upload || m_operation == Operation::Download;
    if (transfer) {
        // A question now would hold up the message being sent: ask once it is whole.
        if (m_platform.waiter.insideWholeMessage()) {
            QTimer::singleShot(50, this, [this, fromMenu] { requestExit(fromMenu); });
            return;
        }
        const QString what = m_operation == Operation::Download
                                 ? QStringLiteral("A download to the controller is under way. Abandoned now, the "
                                                  "controller may be left with part of the profile.")
                                 : QStringLiteral("An upload from the controller is under way.");
        if (m_platform.dialogs.askOkCancel(what + QStringLiteral("\n\nAbandon it and exit?"),
                                           QStringLiteral("Operation under way"))
            == Dialogs::Cancel)
            return;
    }
    if (fromMenu && ProfileChanged) {
        const Dialogs::Answer a = m_platform.dialogs.askOkCancel(QStringLiteral("Discard current profile?"),
                                                                 QStringLiteral("Profile changed"));
        Response = a == Dialogs::Ok ? 1 : 2;
        // The program keeps running; 0x12 is not sent into the operation's dialogue.
        if (a == Dialogs::Cancel)
            return;
    }
    if (m_operation == Operation::None) {  // it ended while the question was open
        finishExit(fromMenu);
        return;
    }
    m_pendingExit = fromMenu ? PendingExit::Menu : PendingExit::Close;
    m_platform.waiter.requestStop();
}

} // namespace gx
