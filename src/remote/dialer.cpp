// The dial sequence in AT commands: initialising the modem, dialling, waiting for CONNECT, log-on, hang-up.

#include "remote/dialer.h"

#include "link/link.h"
#include "link/protocol.h"
#include "link/statussink.h"
#include "platform/dialogs.h"
#include "platform/serialport.h"
#include "platform/settingsstore.h"
#include "platform/waiter.h"

namespace gx {

namespace {
constexpr int InitAttempts = 3;
constexpr int LogOnAttempts = 4;
constexpr double InitPause = 3.0;
constexpr double InitAnswer = 3.0;
constexpr double DialPause = 1.0;
constexpr double ConnectTimeout = 60.0;
constexpr double LogOnPause = 2.0;
constexpr double LogOnAnswer = 3.0;
const QString ModemError = QStringLiteral("MODEM error");

// Str() of a number: a blank before it.
QString withBlank(int n)
{
    return QLatin1Char(' ') + QString::number(n);
}
} // namespace

Dialer::Dialer(Link& link, QObject* parent) : QObject(parent), m_link(link) {}

QByteArray Dialer::pinBytes(const QString& pin)
{
    auto value = [&](int i) {
        const QChar c = i < pin.size() ? pin[i] : QLatin1Char('0');
        return c >= QLatin1Char('0') && c <= QLatin1Char('9') ? c.unicode() - '0' : 0;
    };
    QByteArray b(2, '\0');
    b[0] = char(16 * value(0) + value(1));
    b[1] = char(16 * value(2) + value(3));
    return b;
}

bool Dialer::wait(double seconds, bool cancellable)
{
    m_link.waiter.waitUntil([&] { return cancellable && dialCancel; }, seconds);
    return !(cancellable && dialCancel) && !m_link.waiter.closing();
}

bool Dialer::collect(QString& rx, double seconds, bool cancellable, const std::function<bool(const QString&)>& done)
{
    SerialPort& port = m_link.MSComm1;
    m_link.waiter.waitUntil(
        [&] {
            if (port.inBufferCount() > 0)
                rx += QString::fromLatin1(port.input());
            return (cancellable && dialCancel) || done(rx);
        },
        seconds);
    return !(cancellable && dialCancel) && !m_link.waiter.closing();
}

bool Dialer::awaitResult(QString& line, double seconds, const std::function<bool(const QString&)>& final)
{
    // The modem's results count once their line has ended; echoed commands are
    // not results.
    SerialPort& port = m_link.MSComm1;
    line.clear();
    bool found = false;
    m_link.waiter.waitUntil(
        [&] {
            if (port.inBufferCount() > 0)
                m_lines.append(port.input());
            while (!found && m_lines.hasLine()) {
                const QString l = m_lines.takeLine();
                if (!ModemLines::isEcho(l) && final(l)) {
                    line = l;
                    found = true;
                }
            }
            return found || dialCancel;
        },
        seconds);
    return !dialCancel && !m_link.waiter.closing();
}

void Dialer::cancel()
{
    dialCancel = true;
    // Before the call is up a carriage return and line feed make the modem
    // abandon the dial; once it is up they would go to the controller, and the
    // call is hung up instead when the sequence ends.
    if (!m_connected && m_link.MSComm1.portOpen())
        m_link.MSComm1.output(QByteArrayLiteral("\r\n"));
}

Dialer::Result Dialer::dial(const QString& number, const QString& pin,
                            const std::function<void(const QString&)>& status)
{
    m_connected = false;
    const Result result = runDial(number, pin, status);
    // Cancelled once the call was up: hang up as "Disconnect" does, so the
    // line is not left off-hook (unless the program is ending: the port's
    // closing then drops the line).
    const bool ending = m_link.waiter.closing();
    if (result == Result::Cancelled && m_connected && !ending)
        hangUp();
    // A call cut short by the program's end is still up: connected() says so,
    // for the caller to hang it up.
    m_connected = m_connected && (result == Result::LoggedOn || (result == Result::Cancelled && ending));
    return result;
}

Dialer::Result Dialer::runDial(const QString& number, const QString& pin,
                               const std::function<void(const QString&)>& status)
{
    Link& l = m_link;
    SerialPort& port = l.MSComm1;
    dialCancel = false;
    l.settings.setSetting(QStringLiteral("LastNumber"), number);
    status(QStringLiteral("Initialising Modem"));

    if (port.portOpen())
        port.setPortOpen(false);
    port.setInputMode(SerialPort::TextMode);
    port.setRThreshold(0);
    port.setCommPort(numericValue(l.MODEMport));
    if (!port.setPortOpen(true)) {
        l.dialogs.warn(cantOpenMessage(port.commPort(), port.openFailure()), ModemError);
        return Result::PortFailed;
    }
    m_lines.clear();

    const QByteArray init = l.settings.setting(QStringLiteral("ModemInit")).toLatin1() + '\r';
    bool modemPresent = false;
    for (int attempt = 0; attempt < InitAttempts && !modemPresent; ++attempt) {
        if (!wait(InitPause, true))
            return Result::Cancelled;
        port.discardInput();
        m_lines.clear();
        port.output(init);
        QString rx;
        // OK, or ERROR for a command the modem does not know: either ends the attempt.
        if (!awaitResult(rx, InitAnswer, [](const QString& r) {
                return r.contains(QLatin1String("OK")) || r.contains(QLatin1String("ERROR"));
            }))
            return Result::Cancelled;
        modemPresent = rx.contains(QLatin1String("OK"));
    }
    if (!modemPresent) {
        l.dialogs.warn(QStringLiteral("No MODEM detected"), ModemError);
        return Result::NoModem;
    }

    const bool tone = l.settings.setting(QStringLiteral("Dial out mode"), QStringLiteral("Tone")) == QLatin1String("Tone");
    const QByteArray dialCommand = (tone ? QByteArrayLiteral("ATDT") : QByteArrayLiteral("ATDP")) + number.toLatin1() + '\r';
    status(QStringLiteral("Dialing..."));
    if (!wait(DialPause, false))
        return Result::Cancelled;
    m_lines.clear();
    port.output(dialCommand);
    // CONNECT, or the modem's word for a call that failed: NO CARRIER, BUSY,
    // NO DIALTONE, NO ANSWER, ERROR.
    QString rx;
    if (!awaitResult(rx, ConnectTimeout, [](const QString& r) {
            static const char* const ends[] = {"CONNECT", "NO CARRIER", "BUSY", "NO DIAL", "NO ANSWER", "ERROR"};
            for (const char* e : ends)
                if (r.contains(QLatin1String(e)))
                    return true;
            return false;
        }))
        return Result::Cancelled;
    if (!rx.contains(QLatin1String("CONNECT"))) {
        l.dialogs.warn(QStringLiteral("No connection"), ModemError);
        return Result::NoConnection;
    }
    m_connected = true;

    bool answered = false, accepted = false;
    for (int attempt = 1; attempt <= LogOnAttempts && !answered; ++attempt) {
        status(QLatin1Char('(') + withBlank(attempt) + QStringLiteral(" ) Connected:- Sending password..."));
        if (!wait(LogOnPause, false))
            return Result::Cancelled;
        port.discardInput();
        const QByteArray packed = pinBytes(pin);
        port.output(QByteArray(1, cmd::RemoteLogOn));
        port.output(packed.left(1));
        port.output(packed.right(1));
        QString reply;
        // The controller answers with one character, no line end. "0" is
        // looked for first: a "1" followed by a "0" in the same three seconds
        // still counts as accepted.
        if (!collect(reply, LogOnAnswer, true, [](const QString& r) { return r.contains(QLatin1Char('0')); }))
            return Result::Cancelled;
        accepted = reply.contains(QLatin1Char('0'));
        answered = accepted || reply.contains(QLatin1Char('1'));
    }
    if (accepted) {
        l.status.displayStatus(QStringLiteral("Connected    "), 1, 0);
        return Result::LoggedOn;
    }
    // Dropping the line makes the modem hang up.
    port.setPortOpen(false);
    wait(1.0, false);
    port.setPortOpen(true);
    m_connected = false;
    l.dialogs.warn(QStringLiteral("Password rejected: Call terminated"), ModemError);
    return Result::Rejected;
}

void Dialer::hangUp()
{
    Link& l = m_link;
    SerialPort& port = l.MSComm1;
    l.status.displayStatus(QStringLiteral("Disconnecting..    "), 0, 0);
    // The guard times around "+++" are part of the escape: only the program's
    // end cuts them.
    l.waiter.pauseWhole(2.0);
    for (int i = 0; i < 3; ++i)
        port.output(QByteArrayLiteral("+"));
    l.waiter.pauseWhole(2.0);
    port.output(QByteArrayLiteral("ATH0\r\n"));
    l.waiter.pauseWhole(1.0);
    port.setPortOpen(false);
    l.waiter.pauseWhole(1.0);
    port.setPortOpen(true);
    m_connected = false;
    l.status.displayStatus(QStringLiteral("Disconnected    "), 1, 0);
}

} // namespace gx
