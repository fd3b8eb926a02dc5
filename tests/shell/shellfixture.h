#pragma once

// The main window on fake platform pieces, and what the shell tests reach
// through it.

#include "linkfixture.h"

#include "monitor/instruments.h"
#include "monitor/monitorscreen.h"
#include "monitor/networkscreen.h"
#include "profile/profileeditor.h"
#include "shell/formmonitor.h"
#include "shell/monitoring.h"
#include "shell/program.h"
#include "shell/programmode.h"
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

} // namespace gx::test
