// Serving the line on a pseudo-terminal and a loopback TCP port, replies paced at 9600 baud, commands on stdin.

#include "ptyserver.h"

#include <QDateTime>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace gxsim {

PtyServer::PtyServer(Line& line, Injector& injector, Console& console, Options options, Modem* modem, QObject* parent)
    : QObject(parent), line_(line), injector_(injector), console_(console), options_(std::move(options)), modem_(modem)
{
    clock_.start();
    tcp_.tcp = true;
    for (Outlet* o : {&pty_, &tcp_}) {
        o->timer.setSingleShot(true);
        o->timer.setTimerType(Qt::PreciseTimer);
        connect(&o->timer, &QTimer::timeout, this, [this, o] { onTxTimer(*o); });
    }
    modemTimer_.setSingleShot(true);
    modemTimer_.setTimerType(Qt::PreciseTimer);
    connect(&modemTimer_, &QTimer::timeout, this, &PtyServer::onModemTimer);
    reopenTimer_.setInterval(kReopenCheckMs);
    connect(&reopenTimer_, &QTimer::timeout, this, &PtyServer::onReopenCheck);
}

PtyServer::~PtyServer()
{
    if (master_ >= 0)
        ::close(master_);
    if (slave_ >= 0)
        ::close(slave_);
}

quint16 PtyServer::tcpPort() const { return tcpServer_ ? tcpServer_->serverPort() : 0; }

bool PtyServer::open(QString* error)
{
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        *error = QStringLiteral("openpty failed: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // Raw 8-bit line at 9600 baud, as the controller's port is.
    termios t{};
    ::tcgetattr(slave_, &t);
    ::cfmakeraw(&t);
    ::cfsetispeed(&t, B9600);
    ::cfsetospeed(&t, B9600);
    ::tcsetattr(slave_, TCSANOW, &t);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    path_ = QString::fromLocal8Bit(name);
    if (modem_) {
        // A client closing the terminal must be seen as the line dropping, so
        // no slave descriptor of our own stays open; until a client opens the
        // terminal the line is down.
        ::close(slave_);
        slave_ = -1;
        ptyUp_ = false;
    }
    // Without a modem the slave stays open here, so a client closing and
    // reopening the port never hangs the master up.

    if (!options_.tracePath.isEmpty()) {
        traceFile_.setFileName(options_.tracePath);
        if (!traceFile_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
            *error = QStringLiteral("cannot open trace file %1: %2").arg(options_.tracePath, traceFile_.errorString());
            return false;
        }
    }
    if (options_.tcpPort >= 0) {
        tcpServer_ = new QTcpServer(this);
        if (!tcpServer_->listen(QHostAddress(QHostAddress::LocalHost), quint16(options_.tcpPort))) {
            *error = QStringLiteral("cannot listen on 127.0.0.1:%1: %2").arg(options_.tcpPort).arg(tcpServer_->errorString());
            return false;
        }
        connect(tcpServer_, &QTcpServer::newConnection, this, &PtyServer::onTcpConnection);
    }
    ptyNotifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(ptyNotifier_, &QSocketNotifier::activated, this, &PtyServer::onPtyReadable);
    trace(QStringLiteral("serving %1 on %2%3").arg(
        line_.network() ? QStringLiteral("network nodes") : QStringLiteral("a single controller"), path_,
        options_.fast ? QStringLiteral(" (fast, no pacing)") : QString()));
    if (tcpServer_)
        trace(QStringLiteral("tcp: listening on 127.0.0.1:%1 (raw bytes, one client at a time)").arg(tcpPort()));
    if (!ptyUp_) {
        ptyNotifier_->setEnabled(false);
        reopenTimer_.start();
        trace(QStringLiteral("modem: line down until a client opens the terminal"));
    }
    if (modem_)
        drainModem(nowUs());
    return true;
}

void PtyServer::listenToStdin()
{
    stdinNotifier_ = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(stdinNotifier_, &QSocketNotifier::activated, this, &PtyServer::onStdinReadable);
}

void PtyServer::trace(const QString& text)
{
    if (!traceFile_.isOpen())
        return;
    const qint64 us = nowUs();
    const QString line = QStringLiteral("%1 +%2.%3 %4\n")
                             .arg(QDateTime::currentDateTime().toString(QStringLiteral("hh:mm:ss.zzz")))
                             .arg(us / 1000000, 4, 10, QLatin1Char('0'))
                             .arg(us / 1000 % 1000, 3, 10, QLatin1Char('0'))
                             .arg(text);
    traceFile_.write(line.toUtf8());
    traceFile_.flush();
}

void PtyServer::onPtyReadable()
{
    std::uint8_t buf[4096];
    for (;;) {
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n < 0 && errno == EIO) {
            // No process has the terminal open any more.
            lineDropped(QStringLiteral("terminal closed by its client"));
            return;
        }
        if (n <= 0) {
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                trace(QStringLiteral("read error: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
            break;
        }
        ptyBytes(std::span<const std::uint8_t>(buf, std::size_t(n)), nowUs());
    }
}

void PtyServer::lineDropped(const QString& why)
{
    const qint64 now = nowUs();
    ptyUp_ = false;
    ptyNotifier_->setEnabled(false);
    const std::size_t pending = pty_.queue.size();
    pty_.queue.clear();
    pty_.timer.stop();
    trace(QStringLiteral("line dropped: %1%2").arg(
        why, pending ? QStringLiteral(", %1 pending writes dropped").arg(pending) : QString()));
    if (modem_) {
        modem_->lineDropped(now / 1000);
        drainModem(now);
    }
    // The master gives no event when a client opens the terminal again, so
    // look again now and then; the read notifier stays off meanwhile.
    reopenTimer_.start();
}

void PtyServer::onReopenCheck()
{
    std::uint8_t buf[4096];
    const ssize_t n = ::read(master_, buf, sizeof buf);
    if (n < 0 && errno == EIO)
        return; // still nobody on the terminal
    reopenTimer_.stop();
    ptyUp_ = true;
    trace(QStringLiteral("line up: terminal opened"));
    ptyNotifier_->setEnabled(true);
    if (n > 0)
        ptyBytes(std::span<const std::uint8_t>(buf, std::size_t(n)), nowUs());
}

void PtyServer::ptyBytes(std::span<const std::uint8_t> bytes, qint64 nowUs)
{
    if (!modem_) {
        feedLine(pty_, bytes, nowUs);
        return;
    }
    modem_->receive(bytes, nowUs / 1000);
    drainModem(nowUs);
}

void PtyServer::onModemTimer()
{
    const qint64 now = nowUs();
    modem_->advanceTo(now / 1000);
    drainModem(now);
}

void PtyServer::drainModem(qint64 nowUs)
{
    Modem::Output out = modem_->take();
    for (const std::string& ev : out.events)
        trace(QStringLiteral("modem %1").arg(QString::fromStdString(ev)));
    if (!out.toSerial.empty()) {
        Tx tx;
        tx.startUs = nowUs;
        tx.bytes = std::move(out.toSerial);
        tx.what = QStringLiteral("modem");
        tx.kind = Kind::ModemOutput;
        enqueue(pty_, std::move(tx), nowUs);
    }
    if (!out.toLine.empty())
        feedLine(pty_, out.toLine, nowUs);
    const auto due = modem_->nextDueMs();
    if (!due) {
        modemTimer_.stop();
        return;
    }
    const qint64 waitUs = *due * 1000 - nowUs;
    modemTimer_.start(waitUs <= 0 ? 0 : int((waitUs + 999) / 1000));
}

void PtyServer::feedLine(Outlet& o, std::span<const std::uint8_t> bytes, qint64 nowUs)
{
    const auto exchanges = line_.feed(bytes, nowUs / 1000);
    for (const Exchange& e : exchanges) {
        trace(QStringLiteral("RX%1%2 %3: %4")
                  .arg(o.tcp ? QStringLiteral(" tcp") : QString(),
                       e.node >= 0 ? QStringLiteral(" node %1").arg(e.node) : QString(),
                       QString::fromStdString(e.what), QString::fromStdString(toHex(e.request))));
        if (!e.reply.empty())
            schedule(o, e, nowUs);
    }
}

bool PtyServer::outletOpen(const Outlet& o) const { return o.tcp ? client_ != nullptr : ptyUp_; }

qint64 PtyServer::byteOffsetUs(std::size_t index) const
{
    // 10 bits a byte (start, 8 data, stop): about 1042 us at 9600 baud, and
    // the gap asked for between bytes.
    return options_.fast ? 0 : qint64(index) * (10 * 1000000 / kBaud + options_.byteGapUs);
}

void PtyServer::schedule(Outlet& o, const Exchange& e, qint64 nowUs)
{
    std::string applied;
    const auto chunks = injector_.apply(e, &applied);
    const QString what = QStringLiteral("%1node %2 %3").arg(o.tcp ? QStringLiteral("tcp ") : QString()).arg(e.node)
                             .arg(QString::fromStdString(e.what));
    if (!applied.empty())
        trace(QStringLiteral("inject %1 on reply to %2").arg(QString::fromStdString(applied), what));
    if (chunks.empty())
        return;
    if (!outletOpen(o)) {
        trace(QStringLiteral("TX %1: dropped, the line is down").arg(what));
        return;
    }
    qint64 at = nowUs + (options_.fast ? 0 : kTurnaroundUs) + chunks.front().delayMs * 1000;
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        if (i > 0)
            at = o.freeUs + chunks[i].delayMs * 1000;
        Tx tx;
        tx.startUs = at;
        tx.bytes = chunks[i].bytes;
        tx.what = chunks.size() > 1 ? QStringLiteral("%1 (piece %2/%3)").arg(what).arg(i + 1).arg(chunks.size()) : what;
        enqueue(o, std::move(tx), nowUs);
    }
}

void PtyServer::enqueue(Outlet& o, Tx tx, qint64 nowUs)
{
    if (!outletOpen(o))
        return; // nobody there to hear it
    tx.startUs = std::max(tx.startUs, o.freeUs);
    o.freeUs = tx.startUs + byteOffsetUs(tx.bytes.size());
    o.queue.push_back(std::move(tx));
    armTimer(o, nowUs);
}

void PtyServer::armTimer(Outlet& o, qint64 nowUs)
{
    if (o.queue.empty()) {
        o.timer.stop();
        return;
    }
    const Tx& t = o.queue.front();
    const qint64 due = t.startUs + byteOffsetUs(t.sent);
    const qint64 waitUs = due - nowUs;
    o.timer.start(waitUs <= 0 ? 0 : int((waitUs + 999) / 1000));
}

qint64 PtyServer::write(Outlet& o, const std::uint8_t* data, std::size_t size)
{
    if (!o.tcp)
        return ::write(master_, data, size);
    if (!client_)
        return -1;
    const qint64 n = client_->write(reinterpret_cast<const char*>(data), qint64(size));
    if (n > 0) {
        clientOut_ += quint64(n);
        totalOut_ += quint64(n);
    }
    return n;
}

void PtyServer::onTxTimer(Outlet& o)
{
    const qint64 now = nowUs();
    while (!o.queue.empty()) {
        Tx& t = o.queue.front();
        if (t.startUs > now)
            break;
        if (t.sent == 0 && t.kind == Kind::Reply && !o.tcp && modem_ && !modem_->passesData()) {
            // The call went back to command mode or down before the reply was due.
            trace(QStringLiteral("TX %1: dropped, the modem is not in data mode").arg(t.what));
            o.queue.pop_front();
            continue;
        }
        std::size_t due = t.bytes.size();
        if (!options_.fast)
            due = std::min(due, std::size_t((now - t.startUs) / (10 * 1000000 / kBaud + options_.byteGapUs)) + 1);
        if (t.sent == 0 && t.kind == Kind::Reply)
            trace(QStringLiteral("TX %1 [%2]: %3")
                      .arg(t.what).arg(t.bytes.size())
                      .arg(QString::fromStdString(toHex(t.bytes))));
        while (t.sent < due) {
            const qint64 n = write(o, t.bytes.data() + t.sent, due - t.sent);
            if (n < 0 && !o.tcp && errno == EINTR)
                continue;
            if (n <= 0) {
                // Nobody reads the terminal and its buffer is full, or the
                // connection is gone: the rest is lost.
                trace(QStringLiteral("TX %1: %2 bytes dropped (%3)")
                          .arg(t.what).arg(t.bytes.size() - t.sent)
                          .arg(o.tcp ? QStringLiteral("connection not writable") : QStringLiteral("terminal buffer full")));
                t.sent = t.bytes.size();
                break;
            }
            t.sent += std::size_t(n);
        }
        if (t.sent < t.bytes.size())
            break;
        o.queue.pop_front();
    }
    armTimer(o, now);
}

void PtyServer::onTcpConnection()
{
    while (QTcpSocket* s = tcpServer_->nextPendingConnection()) {
        const QString name = QStringLiteral("%1:%2").arg(s->peerAddress().toString()).arg(s->peerPort());
        if (client_)
            closeClient(QStringLiteral("replaced by a new connection from %1").arg(name));
        client_ = s;
        clientName_ = name;
        clientIn_ = clientOut_ = 0;
        ++connections_;
        s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(s, &QTcpSocket::readyRead, this, &PtyServer::onTcpReadable);
        connect(s, &QTcpSocket::disconnected, this, [this, s] {
            if (s == client_)
                closeClient(QStringLiteral("closed by the client"));
        });
        trace(QStringLiteral("tcp: client %1 connected").arg(name));
    }
}

void PtyServer::onTcpReadable()
{
    if (!client_)
        return;
    const QByteArray data = client_->readAll();
    if (data.isEmpty())
        return;
    clientIn_ += quint64(data.size());
    totalIn_ += quint64(data.size());
    feedLine(tcp_, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                                 std::size_t(data.size())),
             nowUs());
}

void PtyServer::closeClient(const QString& why)
{
    QTcpSocket* s = client_;
    if (!s)
        return;
    client_ = nullptr;
    const std::size_t pending = tcp_.queue.size();
    tcp_.queue.clear();
    tcp_.timer.stop();
    s->disconnect(this);
    s->abort();
    s->deleteLater();
    trace(QStringLiteral("tcp: client %1 disconnected (%2), %3 bytes in, %4 bytes out%5")
              .arg(clientName_, why).arg(clientIn_).arg(clientOut_)
              .arg(pending ? QStringLiteral(", %1 pending writes dropped").arg(pending) : QString()));
}

std::string PtyServer::tcpCommand(const std::string& cmd)
{
    const QStringList w = QString::fromStdString(cmd).simplified().split(QLatin1Char(' '));
    if (!tcpServer_)
        return "error: no tcp port (start gxsim with --tcp PORT)";
    const QString port = QStringLiteral("127.0.0.1:%1").arg(tcpPort());
    if (w.size() == 2 && w[1] == QLatin1String("status")) {
        const QString all = QStringLiteral("%1 connections, %2 bytes in, %3 bytes out in all")
                                .arg(connections_).arg(totalIn_).arg(totalOut_);
        if (!client_)
            return QStringLiteral("ok tcp %1: no client; %2").arg(port, all).toStdString();
        return QStringLiteral("ok tcp %1: client %2 connected, %3 bytes in, %4 bytes out; %5")
            .arg(port, clientName_).arg(clientIn_).arg(clientOut_).arg(all).toStdString();
    }
    if (w.size() == 2 && w[1] == QLatin1String("drop")) {
        if (!client_)
            return "error: no tcp client connected";
        const QString name = clientName_;
        closeClient(QStringLiteral("dropped by command"));
        return QStringLiteral("ok dropped the connection from %1").arg(name).toStdString();
    }
    return "error: usage: tcp status | tcp drop";
}

void PtyServer::onStdinReadable()
{
    char buf[1024];
    const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (n <= 0) {
        stdinNotifier_->setEnabled(false);
        emit quitRequested();
        return;
    }
    stdinBuffer_.append(buf, std::size_t(n));
    std::size_t nl;
    while ((nl = stdinBuffer_.find('\n')) != std::string::npos) {
        std::string cmd = stdinBuffer_.substr(0, nl);
        stdinBuffer_.erase(0, nl + 1);
        if (!cmd.empty() && cmd.back() == '\r')
            cmd.pop_back();
        if (cmd.find_first_not_of(" \t") == std::string::npos)
            continue;
        bool quit = false;
        std::string first;
        std::istringstream(cmd) >> first;
        // The TCP port is the server's own; everything else is the console's.
        const std::string answer = first == "tcp" ? tcpCommand(cmd) : console_.execute(cmd, nowUs() / 1000, &quit);
        trace(QStringLiteral("command '%1': %2").arg(QString::fromStdString(cmd), QString::fromStdString(answer)));
        if (modem_)
            drainModem(nowUs());
        std::fputs((answer + "\n").c_str(), stdout);
        std::fflush(stdout);
        if (quit) {
            emit quitRequested();
            return;
        }
    }
}

} // namespace gxsim
