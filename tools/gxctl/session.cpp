// gxctl's console messages and answers, its settings overlay, opening the port, and Ctrl-C ending the waits.

#include "session.h"

#include "platform/portnames.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace gxctl {

void printError(const QString& text)
{
    std::fprintf(stderr, "gxctl: %s\n", qPrintable(text.trimmed()));
    std::fflush(stderr);
}

void ConsoleStatus::displayStatus(const QString& message, int, int icon)
{
    if ((icon == 1 && !quiet) || verbose)
        printError(message);
}

gx::Dialogs::Answer ConsoleDialogs::askOkCancel(const QString&, const QString&)
{
    return Ok;
}

void ConsoleDialogs::inform(const QString& text, const QString&)
{
    if (!quiet)
        printError(text);
}

QString OverlaySettings::value(const QString& section, const QString& key, const QString& def) const
{
    const auto it = m_over.find(section + '/' + key);
    return it != m_over.end() ? *it : m_base.value(section, key, def);
}

void OverlaySettings::setValue(const QString& section, const QString& key, const QString& v)
{
    // A script never changes what the window shows: what gxctl would store
    // (the dial's "LastNumber") lives only as long as the command.
    overlay(section, key, v);
}

bool Session::open(const QString& given, bool modem)
{
    int com = 0;
    if (given.isEmpty()) {
        const QString use = settings.setting(QStringLiteral("use"));
        com = gx::numericValue(settings.setting(modem || use == QLatin1String("remote") ? QStringLiteral("CurrentModemPort")
                                                                                          : QStringLiteral("CurrentPort")));
        if (com <= 0) {
            printError(QStringLiteral("no port: give --port, or choose one in the program's Settings > Com Ports"));
            return false;
        }
    } else if (given.startsWith(QLatin1String("COM"), Qt::CaseInsensitive) && given.mid(3).toInt() > 0) {
        com = given.mid(3).toInt();
    } else {
        com = 255;  // a device of its own, not one of the user's COM numbers
        settings.overlay(QStringLiteral("Ports"), QStringLiteral("COM255"), given);
    }
    link.MODEMport = QString::number(com);
    port.setSettings(QStringLiteral("9600,n,8,1"));
    port.setInputMode(gx::SerialPort::TextMode);
    port.setInputLen(0);
    port.setCommPort(com);
    port.setHandshaking(modem ? gx::SerialPort::RtsCts : gx::SerialPort::NoHandshake);
    if (!port.setPortOpen(true)) {
        gx::PortOpenFailure failure = port.openFailure();
        if (failure.device.isEmpty())
            failure.device = gx::systemPortName(com, settings);
        printError(gx::cantOpenMessage(com == 255 ? 0 : com, failure));
        return false;
    }
    return true;
}

namespace {
int signalPipe[2] = {-1, -1};
void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] auto n = ::write(signalPipe[1], &c, 1);
}
} // namespace

void installInterruptHandler(Session& s)
{
    ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe);
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    ::sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(&s.link, &gx::Link::downloadSending, notifier, [&s](bool sending) { s.downloading = sending; });
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [&s] {
        char c;
        [[maybe_unused]] auto n = ::read(signalPipe[0], &c, 1);
        if (s.downloading && !s.interrupted) {
            s.interrupted = true;
            printError(QStringLiteral("interrupted: the download goes on, so the controller is not left with part "
                                      "of a profile; press Ctrl-C again to abandon it"));
            return;
        }
        if (s.downloading)
            printError(QStringLiteral("download abandoned: the controller may hold part of a profile; download it "
                                      "again"));
        s.interrupted = true;
        s.status.quiet = true;
        s.dialogs.quiet = true;
        s.waiter.setClosing();
    });
}

} // namespace gxctl
