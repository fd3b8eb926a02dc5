#pragma once

// The main window on fake platform pieces, and what the shell tests reach
// through it.

#include "fakecontroller.h"
#include "linkfixture.h"

#include "monitor/instruments.h"
#include "monitor/monitorscreen.h"
#include "monitor/networkscreen.h"
#include "profile/profileeditor.h"
#include "remote/formdialup.h"
#include "shell/formmonitor.h"
#include "shell/monitoring.h"
#include "shell/program.h"
#include "shell/programmode.h"
#include "shell/remoteaccess.h"
#include "shell/statuswindows.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>

#include <functional>

namespace gx::test {

// The text of the error or the information window, "" when it is not open.
inline QString statusMessage(FormMonitor& w, bool error)
{
    StatusWindows& s = w.statusWindows();
    QWidget* box = error ? s.FormStatusError() : s.FormStatusOK();
    return box ? box->findChild<QLabel*>("LabelStatus")->text() : QString();
}

// How many of the window's screens show: one, whenever nothing is running.
inline int screensShown(const FormMonitor& w)
{
    return int(!w.FrameQuickLaunch->isHidden()) + int(!w.Frame1[0]->isHidden()) + int(!w.TabStrip1->isHidden())
           + int(!w.FrameNetMonitor->isHidden()) + int(!w.FrameLog->isHidden()) + int(!w.FrameFleet->isHidden());
}

// Dials 5550100 from Modem > Connect, logging on with `pin`; whether the call is up.
inline bool dial(FormMonitor& w, const QString& pin = QStringLiteral("1234"))
{
    w.menuConnect->trigger();
    FormDialup* d = w.findChild<RemoteAccess*>()->dialupDialog();
    d->TextPhoneNumber->setText("5550100");
    d->TextRemotePIN->setText(pin);
    d->CommandDial->click();
    return w.ModemConnected;
}

struct ShellFixture {
    // Start in the folder that holds the shipped data files, as the program is.
    bool startFolder = QDir::setCurrent(QStringLiteral(GX_TEST_DATA_DIR));
    FakeClock clock;
    FakeWaiter waiter{clock};
    FakeSerialPort port{&clock};
    FakeSettingsStore settings;
    FakeDialogs dialogs;
    FakeDesktop desktop;
    FakeFileDialogs fileDialogs;
    FileStore files;
    FakePrinter printer;
    FormMonitor window{Platform{port, clock, waiter, settings, dialogs, desktop, fileDialogs, files, printer}};

    // The program on a direct line, as it starts.
    void start()
    {
        settings.useLocal();
        installProgram(window);
        window.Form_Load();
    }
};

// The program as it starts on a direct line to a GX520 on the fake line,
// the controller in its stopped state without a fault.
struct ControllerFixture : ShellFixture {
    FakeController ctl;
    explicit ControllerFixture(const QByteArray& image = QByteArray(310, '\0')) : ctl(port, clock, image)
    {
        ctl.fault = 0;
        start();
    }
    ProfileEditor& editor() { return window.findChild<ProgramMode*>()->editor(); }
};

} // namespace gx::test
