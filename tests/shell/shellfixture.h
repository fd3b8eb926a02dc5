#pragma once

#include "fakes.h"

#include "shell/formmonitor.h"

namespace gx::test {

// The main window on fake platform pieces.
struct ShellFixture {
    FakeClock clock;
    FakeWaiter waiter{clock};
    FakeSerialPort port{&clock};
    FakeSettingsStore settings;
    FakeDialogs dialogs;
    FakeDesktop desktop;
    FormMonitor window{Platform{port, clock, waiter, settings, dialogs, desktop}};

    void useLocal(const QString& port = QStringLiteral("1"))
    {
        settings.setSetting(QStringLiteral("use"), QStringLiteral("local"));
        settings.setSetting(QStringLiteral("CurrentPort"), port);
    }
    void useRemote(const QString& port = QStringLiteral("2"))
    {
        settings.setSetting(QStringLiteral("use"), QStringLiteral("remote"));
        settings.setSetting(QStringLiteral("CurrentModemPort"), port);
    }
};

} // namespace gx::test
