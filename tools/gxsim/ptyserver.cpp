#include "ptyserver.h"

#include <QDateTime>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace gxsim {

PtyServer::PtyServer(Line& line, Injector& injector, Console& console, Options options, QObject* parent)
    : QObject(parent), line_(line), injector_(injector), console_(console), options_(std::move(options))
{
    clock_.start();
    txTimer_.setSingleShot(true);
    txTimer_.setTimerType(Qt::PreciseTimer);
    connect(&txTimer_, &QTimer::timeout, this, &PtyServer::onTxTimer);
}

PtyServer::~PtyServer()
{
    if (master_ >= 0)
        ::close(master_);
    if (slave_ >= 0)
        ::close(slave_);
}

bool PtyServer::open(QString* error)
{
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        *error = QStringLiteral("openpty failed: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // Raw 8-bit line at 9600 baud, as the controller's port is. The slave stays
    // open here, so a client closing and reopening the port never hangs the
    // master up.
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

    if (!options_.tracePath.isEmpty()) {
        traceFile_.setFileName(options_.tracePath);
        if (!traceFile_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
            *error = QStringLiteral("cannot open trace file %1: %2").arg(options_.tracePath, traceFile_.errorString());
            return false;
        }
    }
    ptyNotifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(ptyNotifier_, &QSocketNotifier::activated, this, &PtyServer::onPtyReadable);
    trace(QStringLiteral("serving %1 on %2%3").arg(
        line_.network() ? QStringLiteral("network nodes") : QStringLiteral("a single controller"), path_,
        options_.fast ? QStringLiteral(" (fast, no pacing)") : QString()));
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
        if (n <= 0) {
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                trace(QStringLiteral("read error: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
            break;
        }
        const qint64 now = nowUs();
        const auto exchanges = line_.feed(std::span<const std::uint8_t>(buf, std::size_t(n)), now / 1000);
        for (const Exchange& e : exchanges) {
            trace(QStringLiteral("RX%1 %2: %3")
                      .arg(e.node >= 0 ? QStringLiteral(" node %1").arg(e.node) : QString(),
                           QString::fromStdString(e.what), QString::fromStdString(toHex(e.request))));
            if (!e.reply.empty())
                schedule(e, now);
        }
    }
}

qint64 PtyServer::byteOffsetUs(std::size_t index) const
{
    // 10 bits a byte (start, 8 data, stop): about 1042 us at 9600 baud.
    return options_.fast ? 0 : qint64(index) * 10 * 1000000 / kBaud;
}

void PtyServer::schedule(const Exchange& e, qint64 nowUs)
{
    std::string applied;
    const auto chunks = injector_.apply(e, &applied);
    const QString what = QStringLiteral("node %1 %2").arg(e.node).arg(QString::fromStdString(e.what));
    if (!applied.empty())
        trace(QStringLiteral("inject %1 on reply to %2").arg(QString::fromStdString(applied), what));
    if (chunks.empty())
        return;
    qint64 at = std::max(nowUs + (options_.fast ? 0 : kTurnaroundUs) + chunks.front().delayMs * 1000, lineFreeUs_);
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        if (i > 0)
            at += chunks[i].delayMs * 1000;
        Tx tx;
        tx.startUs = at;
        tx.bytes = chunks[i].bytes;
        tx.what = chunks.size() > 1 ? QStringLiteral("%1 (piece %2/%3)").arg(what).arg(i + 1).arg(chunks.size()) : what;
        at += byteOffsetUs(tx.bytes.size());
        queue_.push_back(std::move(tx));
    }
    lineFreeUs_ = at;
    armTimer(nowUs);
}

void PtyServer::armTimer(qint64 nowUs)
{
    if (queue_.empty()) {
        txTimer_.stop();
        return;
    }
    const Tx& t = queue_.front();
    const qint64 due = t.startUs + byteOffsetUs(t.sent);
    const qint64 waitUs = due - nowUs;
    txTimer_.start(waitUs <= 0 ? 0 : int((waitUs + 999) / 1000));
}

void PtyServer::onTxTimer()
{
    const qint64 now = nowUs();
    while (!queue_.empty()) {
        Tx& t = queue_.front();
        if (t.startUs > now)
            break;
        std::size_t due = t.bytes.size();
        if (!options_.fast)
            due = std::min(due, std::size_t((now - t.startUs) * kBaud / (10 * 1000000)) + 1);
        if (t.sent == 0)
            trace(QStringLiteral("TX %1 [%2]: %3")
                      .arg(t.what).arg(t.bytes.size())
                      .arg(QString::fromStdString(toHex(t.bytes))));
        while (t.sent < due) {
            const ssize_t n = ::write(master_, t.bytes.data() + t.sent, due - t.sent);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                // Nobody reads the terminal and its buffer is full: the rest is lost.
                trace(QStringLiteral("TX %1: %2 bytes dropped (terminal buffer full)").arg(t.what).arg(t.bytes.size() - t.sent));
                t.sent = t.bytes.size();
                break;
            }
            t.sent += std::size_t(n);
        }
        if (t.sent < t.bytes.size())
            break;
        queue_.pop_front();
    }
    armTimer(now);
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
        const std::string answer = console_.execute(cmd, nowUs() / 1000, &quit);
        trace(QStringLiteral("command '%1': %2").arg(QString::fromStdString(cmd), QString::fromStdString(answer)));
        std::fputs((answer + "\n").c_str(), stdout);
        std::fflush(stdout);
        if (quit) {
            emit quitRequested();
            return;
        }
    }
}

} // namespace gxsim
