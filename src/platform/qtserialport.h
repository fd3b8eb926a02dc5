#pragma once

// The serial port on QSerialPort (or a TCP serial gateway), and the parsing of line settings like "9600,n,8,1".

#include "serialport.h"

#include <QPointer>
#include <QSerialPort>

#ifdef Q_OS_UNIX
#include <termios.h>
#endif

class QSocketNotifier;

namespace gx {

class SettingsStore;
class TcpDevice;

// The serial port on QSerialPort. Knows the traps of Qt 6.4 on Linux:
// pseudo-terminals reject modem-line and some line-setting calls (harmless),
// stale input is not flushed on open, and a vanished USB adapter can leave
// readyRead silent for good, so errors, the descriptor and time-outs are watched too.
// A COM number mapped to "tcp://host:port" is a serial gateway: the same bytes
// travel over TCP, line settings and handshaking do not apply.
class QtSerialPort final : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(const SettingsStore& settings, QObject* parent = nullptr);
    ~QtSerialPort() override;

    QString systemName() const { return m_name; }
    void checkAlive() override;
    void takeWaiting() override;

protected:
    bool openDevice(QString* error) override;
    void closeDevice() override;
    void writeDevice(const QByteArray& bytes) override;
    void awaitBytes(int count) override;
    void flushDevice() override;

private:
    void readAvailable();
    void onError(QSerialPort::SerialPortError error);
    void readDescriptor();

    const SettingsStore& m_settingsStore;
    QSerialPort* m_port = nullptr;
    TcpDevice* m_tcp = nullptr;
    QString m_name;
#ifdef Q_OS_UNIX
    termios m_termios{};
#endif
    int m_vmin = -1; // -1: not set since the port opened
    // QSerialPort's own read notifier is off: the descriptor is read here.
    QPointer<QSocketNotifier> m_readNotifier;
    int m_fd = -1;  // read and written directly on Unix: fewer turns of the event loop
};

// Parses "9600,n,8,1" (baud, parity n/e/o/m/s, data bits, stop bits).
struct LineSettings {
    int baud = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    bool valid = false;
};
LineSettings parseLineSettings(const QString& text);

} // namespace gx
