#pragma once

#include "linkfixture.h"

#include "shell/formmonitor.h"
#include "shell/program.h"

#include <QDir>

namespace gx::test {

// The main window on fake platform pieces.
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
