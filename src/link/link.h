#pragma once

#include "protocol.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

namespace gx {

class Clock;
class Dialogs;
class SerialPort;
class SettingsStore;
class StatusSink;
class Waiter;

// The one serial conversation of the program: which port is used, the reply
// buffers and their flags, the receive handler that files each reply by its
// expected length, and the exchange that every request goes through. Only one
// exchange is outstanding at any time; all of it runs on the user-interface thread.
class Link : public QObject {
    Q_OBJECT
public:
    struct Platform {
        SerialPort& port;
        Waiter& waiter;
        SettingsStore& settings;
        Dialogs& dialogs;
        StatusSink& status;
    };
    explicit Link(const Platform& platform, QObject* parent = nullptr);

    SerialPort& MSComm1;
    Waiter& waiter;
    SettingsStore& settings;
    Dialogs& dialogs;
    StatusSink& status;

    // Port selection, from the settings "use", "CurrentPort", "CurrentModemPort".
    QString usage;
    QString LocalPort;
    QString MODEMport;
    bool PortOpenError = false;

    // RS485 framing in use, and the node every network request goes to.
    bool NetworkMode = false;
    int Address = 0;

    // Reply buffers and their flags. A flag is set only by the receive handler and
    // cleared only by the requester before it sends.
    QByteArray ProfileReply;
    QString ID;
    QByteArray StatusReply;
    QByteArray TextReply;
    QString MODEMresponse;
    QByteArray FaultReply;
    QByteArray NetReply;
    bool GotProfile = false;
    bool GotID = false;
    bool StatusGot = false;
    bool GotText = false;
    bool gotMODEMrx = false;
    bool GotLatestFault = false;
    bool GotQuickStatus = false;
    bool GotPacket = false;

    // Identification results.
    QString Instrument;
    double FirmVersion = 0.0;

    // "" when the last controller operation succeeded, else its error text.
    QString ProgStatus;
    // Reason of the last transfer failure; for diagnostics, not shown to the user.
    QString ComError;

    // (Re)opens the port chosen by the settings. On failure shows "can't open COM n"
    // and asks for the settings dialog; with no usable port configured only the
    // dialog is asked for.
    void openCommunications();

    // The receive handler: files waiting bytes into the buffer of the awaited reply.
    void MSComm1_OnComm();

    enum class Discard { Yes, No };
    // One exchange: input mode, reply length (threshold), the reply's flag, the
    // request, and the time-out in seconds. Returns the flag.
    bool exchange(int inputMode, int threshold, bool& flag, const QByteArray& request, double timeout,
                  Discard discard = Discard::Yes);
    // Waits for an already requested reply.
    bool waitFor(const bool& flag, double timeout);
    void pause(double seconds);
    void yield();

    // Opens the port if it is closed, with the settings it has.
    bool ensureOpen();
    // Identification (0x04 on the direct line, registers 0x00DC.. on the network).
    void uploadID();

signals:
    // Asked for when no usable port is configured or the port cannot be opened.
    void settingsDialogRequested();
    // The port stopped working while open (for example an unplugged adapter).
    void portLost(const QString& reason);
};

// Firmware version from an identification text: the number after the first "V"
// (or at the start when there is none); 0 when no number follows.
double firmwareVersion(const QString& id);
// The model: the five characters from the first "GX".
QString instrumentOf(const QString& id);

} // namespace gx
