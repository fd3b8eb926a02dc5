#pragma once

// Dialling a remote controller through the modem, logging on with its PIN, and hanging up.

#include "link/modemlines.h"

#include <QObject>
#include <QString>

#include <functional>

namespace gx {

class Link;

// Dialling a remote controller through the modem on the modem port, logging
// on with its remote log-on PIN, and hanging up again. The modem is driven
// with AT commands over the one serial port; every wait sleeps in the event
// loop, and Cancel ends the dial at its next cancellable wait.
class Dialer : public QObject {
    Q_OBJECT
public:
    enum class Result { LoggedOn, PortFailed, NoModem, NoConnection, Rejected, Cancelled };

    explicit Dialer(Link& link, QObject* parent = nullptr);

    // The whole dial sequence: three initialisation attempts with the setting
    // "ModemInit", "ATDT" or "ATDP" by "Dial out mode", up to 60 s for CONNECT,
    // four log-on attempts. `status` receives the progress texts. The failures
    // are reported in the modem's own message boxes; on Rejected the line has
    // been dropped (port closed and opened again).
    Result dial(const QString& number, const QString& pin, const std::function<void(const QString&)>& status);
    // Ends a running dial at its next cancellable wait. Before CONNECT a
    // carriage return and line feed tell the modem to abandon the dial; after
    // it the call is hung up as hangUp() does.
    void cancel();
    bool dialCancel = false;
    // A call is up: CONNECT came and it has not been hung up since.
    bool connected() const { return m_connected; }

    // "+++" between guard times, "ATH0", the port closed and opened again;
    // "Disconnecting..    " and "Disconnected    " are shown. Nothing the
    // modem answers is checked.
    void hangUp();

    // The two PIN bytes of the log-on request: the four characters packed two
    // to a byte, a character that is not a digit counting as 0.
    static QByteArray pinBytes(const QString& pin);

private:
    // Collects what the modem sends for up to `seconds`, until `done(rx)`.
    // Cancellable waits end early on Cancel (returns false then).
    bool collect(QString& rx, double seconds, bool cancellable, const std::function<bool(const QString&)>& done);
    // Waits up to `seconds` (cancellable) for a whole result line for which
    // `final` holds; `line` receives it ("" on a time-out).
    bool awaitResult(QString& line, double seconds, const std::function<bool(const QString&)>& final);
    bool wait(double seconds, bool cancellable);
    Result runDial(const QString& number, const QString& pin, const std::function<void(const QString&)>& status);

    Link& m_link;
    ModemLines m_lines;
    bool m_connected = false;
};

} // namespace gx
