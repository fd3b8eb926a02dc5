#pragma once

// Serves a Line on a Linux pseudo-terminal and, optionally, on a TCP port of
// the loopback address: reads request bytes as they come, writes the replies
// paced at 9600 baud 8N1 (unless fast) to the transport the request came
// from, and takes run-time commands from standard input. With a modem the
// terminal side goes through it (AT commands, calls); TCP always carries raw
// bytes. Event-driven: it sleeps in the Qt event loop until the terminal, the
// socket or standard input has data or a reply byte or modem event is due.

#include "console.h"
#include "injector.h"
#include "line.h"
#include "modem.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>

class QSocketNotifier;
class QTcpServer;
class QTcpSocket;

namespace gxsim {

class PtyServer : public QObject {
    Q_OBJECT
public:
    static constexpr int kTurnaroundUs = 3000;
    static constexpr int kBaud = 9600;
    // How often a dropped terminal is looked at again until a client opens it.
    static constexpr int kReopenCheckMs = 100;

    struct Options {
        bool fast = false;
        // Extra silence between two bytes of a reply or a modem result, as a
        // slow or busy sender leaves (microseconds; not with fast).
        int byteGapUs = 0;
        QString tracePath;
        // Listen on 127.0.0.1 at this port (0: any free port); -1 for no TCP.
        int tcpPort = -1;
    };

    // With a modem, the terminal's bytes go through it and the server does not
    // hold the terminal's slave side open, so a client closing the terminal
    // drops the line.
    PtyServer(Line& line, Injector& injector, Console& console, Options options, Modem* modem = nullptr,
              QObject* parent = nullptr);
    ~PtyServer() override;

    // Opens the pseudo-terminal (raw mode), the trace file and the TCP port.
    bool open(QString* error);
    QString path() const { return path_; }
    // The TCP port listened on, 0 without TCP.
    quint16 tcpPort() const;
    // Starts taking commands from standard input; its end asks to quit.
    void listenToStdin();
    void trace(const QString& text);

signals:
    void quitRequested();

private:
    enum class Kind { Reply, ModemOutput };
    struct Tx {
        qint64 startUs = 0;
        Bytes bytes;
        std::size_t sent = 0;
        QString what;
        Kind kind = Kind::Reply;
    };
    // One way out: its queue of paced writes and the timer for the next byte.
    struct Outlet {
        bool tcp = false;
        std::deque<Tx> queue;
        qint64 freeUs = 0;
        QTimer timer;
    };

    void onPtyReadable();
    void onReopenCheck();
    void ptyBytes(std::span<const std::uint8_t> bytes, qint64 nowUs);
    void lineDropped(const QString& why);
    void onStdinReadable();
    std::string tcpCommand(const std::string& cmd);
    void onTcpConnection();
    void onTcpReadable();
    void closeClient(const QString& why);
    void onModemTimer();
    void drainModem(qint64 nowUs);
    void feedLine(Outlet& o, std::span<const std::uint8_t> bytes, qint64 nowUs);
    bool outletOpen(const Outlet& o) const;
    void schedule(Outlet& o, const Exchange& e, qint64 nowUs);
    void enqueue(Outlet& o, Tx tx, qint64 nowUs);
    void armTimer(Outlet& o, qint64 nowUs);
    void onTxTimer(Outlet& o);
    qint64 write(Outlet& o, const std::uint8_t* data, std::size_t size);
    qint64 nowUs() const { return clock_.nsecsElapsed() / 1000; }
    qint64 byteOffsetUs(std::size_t index) const;

    Line& line_;
    Injector& injector_;
    Console& console_;
    Options options_;
    Modem* modem_;
    int master_ = -1;
    int slave_ = -1;
    bool ptyUp_ = true;
    QString path_;
    QSocketNotifier* ptyNotifier_ = nullptr;
    QSocketNotifier* stdinNotifier_ = nullptr;
    QTimer reopenTimer_;
    QTimer modemTimer_;
    Outlet pty_;
    Outlet tcp_;
    QTcpServer* tcpServer_ = nullptr;
    QTcpSocket* client_ = nullptr;
    QString clientName_;
    quint64 clientIn_ = 0, clientOut_ = 0, totalIn_ = 0, totalOut_ = 0, connections_ = 0;
    QElapsedTimer clock_;
    QFile traceFile_;
    std::string stdinBuffer_;
};

} // namespace gxsim
