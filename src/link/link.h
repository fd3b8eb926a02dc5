#pragma once

// The link: the program's one serial conversation, its reply buffers and every controller operation over it.

#include "linkhealth.h"
#include "modemlines.h"
#include "protocol.h"

#include "profile/profile.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

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
    // with the device, the cause and its remedy on a second line, and asks for
    // the settings dialog; with no usable port configured only the
    // dialog is asked for.
    void openCommunications();

    // The receive handler: files waiting bytes into the buffer of the awaited reply.
    void MSComm1_OnComm();

    // With the threshold at 1 the modem's text is gathered into whole result
    // lines; gotMODEMrx is set once a line has ended. takeModemResponse moves
    // the oldest line into MODEMresponse (false when none is waiting).
    ModemLines modemLines;
    bool takeModemResponse();

    enum class Discard { Yes, No };
    // One exchange: input mode, reply length (threshold), the reply's flag, the
    // request, and the time-out in seconds. Returns the flag.
    bool exchange(int inputMode, int threshold, bool& flag, const QByteArray& request, double timeout,
                  Discard discard = Discard::Yes);
    // Sends a request whose reply is then awaited with waitFor; the line's
    // health counts it.
    void send(const QByteArray& request);
    // Waits for a reply; for a request sent with send() the health counts the
    // outcome (reply and its time, time-out, short or over-long reply).
    bool waitFor(const bool& flag, double timeout);
    // Checks a reply's checksum (data bytes, then two checksum bytes); a
    // mismatch is counted against the line.
    bool checksumOk(const QByteArray& reply, int dataLength);

    // Per node (0: the direct line), counted where the exchange is; the
    // screens only read it.
    LinkHealth health;
    void pause(double seconds);

    // The profile as last read from a controller (timers in tenths), its raw
    // image, each network node's last image, and the site name it carries.
    Profile uploadedProfile;
    QByteArray ProfileImage;
    std::array<std::array<uint8_t, 401>, 17> NodeProfile{};
    QString SiteName;
    int Retry = 0;

    // Reads the profile image (one 312-byte reply, or seven network blocks),
    // three attempts; on success decodes it into uploadedProfile and clears
    // ProgStatus, else shows "Profile upload error" and sets "profile error".
    void uploadProfile();
    // Reads the 1023-byte notes text into TextReply.
    void uploadProfileText();

    // The status the live monitor decodes (bytes 0..66 written, 67..100 stay 0),
    // each network node's last status, and whether the last exchange was good.
    std::array<uint8_t, 101> StatusImage{};
    std::array<std::array<uint8_t, 101>, 17> NodeStatus{};
    bool StatusValid = false;

    // The direct status reply's length for the firmware in FirmVersion: 65 for
    // 1.0 and 1.01, 67 for every later version.
    int statusReplyLength() const;
    // One-shot status upload over the direct line: up to eleven attempts of two
    // seconds; StatusValid and StatusReply hold the result. Shows nothing.
    void updateStatus();
    enum class Fetch { Ok, Failed, Abandoned };
    // The live monitor's status fetch into StatusImage: up to five attempts, on
    // the direct line or as two register reads of node Address. Abandoned when
    // `keepGoing` turns false during a retry.
    Fetch fetchMonitorStatus(const bool& keepGoing);

    // Asks for the latest fault (18 bytes, the code at byte 16). On a reply
    // FaultReg takes the code and true is returned; otherwise FaultReg is left
    // as it was. Bytes already waiting are not thrown away first.
    bool upload_fault_status(int& FaultReg);

    // The profile download. prepareDownload builds the image and the notes
    // text from a working profile, refusing (with the setting and its value in
    // *error) one whose values do not fit their bytes; nothing is sent then.
    struct DownloadData {
        QByteArray image;  // 310 bytes
        QByteArray text;   // 1025 characters
    };
    static std::optional<DownloadData> prepareDownload(const Profile& working, QString* error);
    enum class Download { Ok, StatusFailed, EngineRunning, NoId, ImageNotConfirmed, TextNotConfirmed, Abandoned };
    // Identifies the controller, checks through a one-shot status that its
    // engine is stopped (state 0 or 5), sends the image with its checksum and
    // the notes, each confirmed by an identification within 40 s. Every
    // outcome is reported through the status windows; on success
    // `onConfirmed` runs just before "Download Successful" is shown.
    // Abandoned: the program is closing.
    Download downloadProfile(const QByteArray& image, const QByteArray& text,
                             const std::function<void()>& onConfirmed = {});
    // The 312 bytes last sent: the image and its two checksum bytes.
    QByteArray DownloadImage;

    // Opens the port if it is closed, with the settings it has.
    bool ensureOpen();
    // Identification (0x04 on the direct line, registers 0x00DC.. on the network).
    void uploadID();

private:
    // After a reply that came wrong (cut short, too long, a bad checksum) the
    // rest of it may still be crossing the line; the next request waits until
    // the line has gone quiet, so its reply is not taken out of step.
    void settleLine();
    bool m_lineUnsettled = false;
    void sendBytewise(const QByteArray& bytes);
    int healthNode() const { return NetworkMode ? Address : LinkHealth::DirectLine; }
    bool m_requestPending = false;
    double m_requestSent = 0.0;
    int m_replySize = 0;
    bool awaitConfirmation(const QString& what);
    bool profileAttemptLocal();
    bool profileAttemptNetwork();
    bool statusAttemptDirect();
    bool statusAttemptNetwork();

signals:
    // Asked for when no usable port is configured or the port cannot be opened.
    void settingsDialogRequested();
    // The port stopped working while open (for example an unplugged adapter).
    void portLost(const QString& reason);
    // A download waits up to `seconds` for the controller to confirm `what`
    // (the profile, the notes); the wait has ended.
    void confirmationWait(const QString& what, double seconds);
    void confirmationWaitEnded();
    // The download has begun to send the profile (true) or has ended (false):
    // stopping it in between leaves the controller with part of a profile.
    void downloadSending(bool sending);
};

// Firmware version from an identification text: the number after the first "V"
// (or at the start when there is none); 0 when no number follows.
double firmwareVersion(const QString& id);
// The model: the five characters from the first "GX".
QString instrumentOf(const QString& id);

} // namespace gx
