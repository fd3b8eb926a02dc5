#pragma once

// The platform pieces of the command line: the real port, clock, waits and
// settings, with messages written to standard error instead of windows.

#include "link/link.h"
#include "link/statussink.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/filestore.h"
#include "platform/qtserialport.h"
#include "platform/settingsstore.h"
#include "platform/waiter.h"
#include "remote/dialer.h"

#include <QMap>

#include <memory>

namespace gxctl {

// Messages of the operations: errors always, progress with --verbose.
class ConsoleStatus final : public gx::StatusSink {
public:
    void displayStatus(const QString& displayMessage, int duration, int icon) override;
    bool verbose = false;
    bool quiet = false;  // after Ctrl-C: the failures it causes are not reported
};

class ConsoleDialogs final : public gx::Dialogs {
public:
    Answer askOkCancel(const QString& text, const QString& title) override;
    void inform(const QString& text, const QString& title) override;
    void warn(const QString& text, const QString& title) override { inform(text, title); }
    bool quiet = false;
};

// The user's settings, with the port given on the command line laid over them.
// Nothing is written to the user's settings: what a command stores stays here.
class OverlaySettings final : public gx::SettingsStore {
public:
    explicit OverlaySettings(gx::SettingsStore& base) : m_base(base) {}
    QString value(const QString& section, const QString& key, const QString& def) const override;
    void setValue(const QString& section, const QString& key, const QString& v) override;
    void overlay(const QString& section, const QString& key, const QString& v) { m_over[section + '/' + key] = v; }

private:
    gx::SettingsStore& m_base;
    QMap<QString, QString> m_over;
};

void printError(const QString& text);

struct Session {
    gx::SteadyClock clock;
    gx::EventLoopWaiter waiter{clock};
    gx::QtSettingsStore userSettings;
    OverlaySettings settings{userSettings};
    ConsoleDialogs dialogs;
    ConsoleStatus status;
    gx::FileStore files;
    gx::QtSerialPort port{settings};
    gx::Link link{gx::Link::Platform{port, waiter, settings, dialogs, status}};
    gx::Dialer dialer{link};
    bool interrupted = false;
    bool downloading = false;

    // Opens `port` (a device path, COMn or tcp://host:port), or the port of the
    // settings when empty. False, said why, when it cannot.
    bool open(const QString& port, bool modem);
};

// Ctrl-C: ends the waits (and with them the command); during a download it
// first only warns, and a second Ctrl-C abandons.
void installInterruptHandler(Session& session);

} // namespace gxctl
