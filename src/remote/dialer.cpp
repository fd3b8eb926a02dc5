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

void Dialer::cancel()
{
    dialCancel = true;
    if (m_link.MSComm1.portOpen())
        m_link.MSComm1.output(QByteArrayLiteral("\r\n"));
}

Dialer::Result Dialer::dial(const QString& number, const QString& pin,
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

    const QByteArray init = l.settings.setting(QStringLiteral("ModemInit")).toLatin1() + '\r';
    bool modemPresent = false;
    for (int attempt = 0; attempt < InitAttempts && !modemPresent; ++attempt) {
        if (!wait(InitPause, true))
            return Result::Cancelled;
        port.discardInput();
        port.output(init);
        QString rx;
        if (!collect(rx, InitAnswer, true, [](const QString& r) { return r.contains(QLatin1String("OK")); }))
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
    wait(DialPause, false);
    port.output(dialCommand);
    QString rx;
    if (!collect(rx, ConnectTimeout, true, [](const QString& r) { return r.contains(QLatin1String("CONNECT")); }))
        return Result::Cancelled;
    if (!rx.contains(QLatin1String("CONNECT"))) {
        l.dialogs.warn(QStringLiteral("No connection"), ModemError);
        return Result::NoConnection;
    }

    bool answered = false, accepted = false;
    for (int attempt = 1; attempt <= LogOnAttempts && !answered; ++attempt) {
        status(QLatin1Char('(') + withBlank(attempt) + QStringLiteral(" ) Connected:- Sending password..."));
        wait(LogOnPause, false);
        port.discardInput();
        const QByteArray packed = pinBytes(pin);
        port.output(QByteArray(1, cmd::RemoteLogOn));
        port.output(packed.left(1));
        port.output(packed.right(1));
        QString reply;
        // "0" is looked for first: a "1" followed by a "0" in the same three
        // seconds still counts as accepted.
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
    l.dialogs.warn(QStringLiteral("Password rejected: Call terminated"), ModemError);
    return Result::Rejected;
}

void Dialer::hangUp()
{
    Link& l = m_link;
    SerialPort& port = l.MSComm1;
    l.status.displayStatus(QStringLiteral("Disconnecting..    "), 0, 0);
    wait(2.0, false);
    for (int i = 0; i < 3; ++i)
        port.output(QByteArrayLiteral("+"));
    wait(2.0, false);
    port.output(QByteArrayLiteral("ATH0\r\n"));
    wait(1.0, false);
    port.setPortOpen(false);
    wait(1.0, false);
    port.setPortOpen(true);
    l.status.displayStatus(QStringLiteral("Disconnected    "), 1, 0);
}

} // namespace gx
