#pragma once

// The serial-port seam: the port as the program drives it, with the receive side every device shares.

#include "portfailure.h"

#include <QByteArray>
#include <QObject>
#include <QString>

namespace gx {

// The serial port as the program uses it: a COM port number, line settings,
// handshaking, open/close, an input mode, a receive threshold, a write, a read of
// everything waiting, the count waiting, and one event (onComm) whose kind is in
// commEvent(). The receive side is the same for every implementation and lives
// here; a device implementation only opens, closes, writes and delivers bytes.
class SerialPort : public QObject {
    Q_OBJECT
public:
    enum InputModeKind { TextMode = 0, BinaryMode = 1 };
    enum Handshake { NoHandshake = 0, RtsCts = 2 };

    // Event kinds: data received, and (our own) the device vanished.
    static constexpr int comEvReceive = 2;
    static constexpr int comEvLost = 1100;

    // Waiting input beyond this is dropped (oldest first); a reply is at most 1023.
    static constexpr int receiveBufferSize = 65536;

    explicit SerialPort(QObject* parent = nullptr) : QObject(parent) {}

    void setCommPort(int n) { m_commPort = n; }
    int commPort() const { return m_commPort; }
    void setSettings(const QString& s) { m_settings = s; }
    QString settings() const { return m_settings; }
    void setHandshaking(int h) { m_handshaking = h; }
    int handshaking() const { return m_handshaking; }

    // Opening may fail (missing or busy device): returns false and errorString() says why.
    bool setPortOpen(bool open);
    bool portOpen() const { return m_open; }
    QString errorString() const { return m_error; }
    // Why the last open failed: the device, the cause and what to do.
    const PortOpenFailure& openFailure() const { return m_failure; }

    void setInputMode(int mode) { m_inputMode = mode; }
    int inputMode() const { return m_inputMode; }
    void setInputLen(int n) { m_inputLen = n; }
    int inputLen() const { return m_inputLen; }
    void setRThreshold(int n);
    int rThreshold() const { return m_threshold; }

    // Writes the bytes; ignored while the port is closed or sealed.
    void output(const QByteArray& bytes);
    // After the program's last byte: nothing more is written, whatever is
    // still running on its way out.
    void seal() { m_sealed = true; }
    // Reads and removes everything waiting.
    QByteArray input();
    // Throws away everything received so far, also what the device still holds.
    void discardInput()
    {
        flushDevice();
        input();
    }
    int inBufferCount() const { return int(m_in.size()); }
    int commEvent() const { return m_event; }

    // Asks the device whether it is still there; a vanished device is reported as lost.
    virtual void checkAlive() {}
    // Hands over whatever the device holds now, without waiting: for a reply
    // that stopped short of its length when its time ran out.
    virtual void takeWaiting() {}

signals:
    void onComm();
    // The device failed while open (adapter unplugged, I/O error); the port is now closed.
    void portLost(const QString& reason);

protected:
    virtual bool openDevice(QString* error) = 0;
    virtual void closeDevice() = 0;
    virtual void writeDevice(const QByteArray& bytes) = 0;
    // Told how many more bytes the awaited reply needs (0: none awaited), so a
    // device can sleep until they are there instead of waking for every byte.
    virtual void awaitBytes(int /*count*/) {}
    // Drops what the device has received but not yet handed over.
    virtual void flushDevice() {}

    // Implementations hand received bytes here.
    void deliver(const QByteArray& bytes);
    // Implementations call this when the device stops working.
    void lost(const QString& reason);
    // Implementations say here why openDevice failed, when they know.
    void setOpenFailure(const PortOpenFailure& failure) { m_failure = failure; }

private:
    void raiseIfDue();

    int m_commPort = 1;
    QString m_settings = QStringLiteral("9600,n,8,1");
    int m_handshaking = NoHandshake;
    bool m_open = false;
    QString m_error;
    PortOpenFailure m_failure;
    int m_inputMode = TextMode;
    int m_inputLen = 0;
    int m_threshold = 0;
    int m_event = 0;
    bool m_sealed = false;
    QByteArray m_in;
};

} // namespace gx
