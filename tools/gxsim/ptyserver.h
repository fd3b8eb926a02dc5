#pragma once

// Serves a Line on a Linux pseudo-terminal: reads request bytes as they come,
// writes the replies paced at 9600 baud 8N1 (unless fast), and takes run-time
// commands from standard input. Event-driven: it sleeps in the Qt event loop
// until the terminal or standard input has data or a reply byte is due.

#include "console.h"
#include "injector.h"
#include "line.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>

class QSocketNotifier;

namespace gxsim {

class PtyServer : public QObject {
    Q_OBJECT
public:
    static constexpr int kTurnaroundUs = 3000;
    static constexpr int kBaud = 9600;

    struct Options {
        bool fast = false;
        QString tracePath;
    };

    PtyServer(Line& line, Injector& injector, Console& console, Options options, QObject* parent = nullptr);
    ~PtyServer() override;

    // Opens the pseudo-terminal (raw mode, slave kept open) and the trace file.
    bool open(QString* error);
    QString path() const { return path_; }
    // Starts taking commands from standard input; its end asks to quit.
    void listenToStdin();
    void trace(const QString& text);

signals:
    void quitRequested();

private:
    struct Tx {
        qint64 startUs = 0;
        Bytes bytes;
        std::size_t sent = 0;
        QString what;
    };

    void onPtyReadable();
    void onStdinReadable();
    void onTxTimer();
    void schedule(const Exchange& e, qint64 nowUs);
    void armTimer(qint64 nowUs);
    qint64 nowUs() const { return clock_.nsecsElapsed() / 1000; }
    qint64 byteOffsetUs(std::size_t index) const;

    Line& line_;
    Injector& injector_;
    Console& console_;
    Options options_;
    int master_ = -1;
    int slave_ = -1;
    QString path_;
    QSocketNotifier* ptyNotifier_ = nullptr;
    QSocketNotifier* stdinNotifier_ = nullptr;
    QTimer txTimer_;
    std::deque<Tx> queue_;
    qint64 lineFreeUs_ = 0;
    QElapsedTimer clock_;
    QFile traceFile_;
    std::string stdinBuffer_;
};

} // namespace gxsim
