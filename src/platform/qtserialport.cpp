// The real serial port: opening, line settings, reading the descriptor, and noticing a vanished adapter.

#include "qtserialport.h"

#include "portnames.h"
#include "settingsstore.h"
#include "tcpdevice.h"

#include <QFileInfo>
#include <QSocketNotifier>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <termios.h>
#endif

namespace gx {

LineSettings parseLineSettings(const QString& text)
{
    LineSettings s;
    const QStringList f = text.split(QLatin1Char(','));
    if (f.size() != 4)
        return s;
    bool ok = false;
    s.baud = f[0].trimmed().toInt(&ok);
    if (!ok || s.baud <= 0)
        return s;
    switch (f[1].trimmed().toLower().at(0).toLatin1()) {
    case 'n': s.parity = QSerialPort::NoParity; break;
    case 'e': s.parity = QSerialPort::EvenParity; break;
    case 'o': s.parity = QSerialPort::OddParity; break;
    case 'm': s.parity = QSerialPort::MarkParity; break;
    case 's': s.parity = QSerialPort::SpaceParity; break;
    default: return s;
    }
    const int bits = f[2].trimmed().toInt(&ok);
    if (!ok || bits < 5 || bits > 8)
        return s;
    s.dataBits = QSerialPort::DataBits(bits);
    const QString stop = f[3].trimmed();
    if (stop == QLatin1String("1"))
        s.stopBits = QSerialPort::OneStop;
    else if (stop == QLatin1String("1.5"))
        s.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == QLatin1String("2"))
        s.stopBits = QSerialPort::TwoStop;
    else
        return s;
    s.valid = true;
    return s;
}

QtSerialPort::QtSerialPort(const SettingsStore& settings, QObject* parent)
    : SerialPort(parent), m_settingsStore(settings)
{
}

QtSerialPort::~QtSerialPort()
{
    closeDevice();
}

bool QtSerialPort::openDevice(QString* error)
{
    closeDevice();
    m_name = systemPortName(commPort(), m_settingsStore);
    if (TcpDevice::parse(m_name, nullptr, nullptr)) {
        m_tcp = new TcpDevice(this);
        if (!m_tcp->open(m_name, error)) {
            setOpenFailure({PortTrouble::Other, m_name, *error, QString(), {}});
            delete m_tcp;
            m_tcp = nullptr;
            return false;
        }
        connect(m_tcp, &TcpDevice::received, this, [this](const QByteArray& b) { deliver(b); });
        connect(m_tcp, &TcpDevice::dropped, this, [this](const QString& why) { lost(why); });
        return true;
    }
    const LineSettings line = parseLineSettings(settings());
    if (!line.valid) {
        *error = QStringLiteral("bad line settings \"%1\"").arg(settings());
        return false;
    }
    m_port = new QSerialPort(this);
    m_port->setPortName(m_name);
    if (!m_port->open(QIODevice::ReadWrite)) {
        *error = m_port->errorString();
        setOpenFailure(diagnoseOpenFailure(m_name, m_port->error(), *error));
        delete m_port;
        m_port = nullptr;
        return false;
    }
    // On a pseudo-terminal these succeed without effect or fail as unsupported;
    // neither stops the port from working, so their results are not checked.
    m_port->setBaudRate(line.baud);
    m_port->setParity(line.parity);
    m_port->setDataBits(line.dataBits);
    m_port->setStopBits(line.stopBits);
    m_port->setFlowControl(handshaking() == RtsCts ? QSerialPort::HardwareControl
                                                   : QSerialPort::NoFlowControl);
    m_port->clear(QSerialPort::AllDirections);
    m_port->clearError();
    // Nothing of an earlier opening carries over: the VMIN count is set anew.
    m_vmin = -1;
    m_readNotifier.clear();
    m_fd = -1;
#ifdef Q_OS_UNIX
    // The descriptor is read and written here, not through QSerialPort's
    // buffers: each exchange then costs one write and one read, and the port
    // is looked at only while a reply may be coming.
    for (QSocketNotifier* n : m_port->findChildren<QSocketNotifier*>())
        if (n->type() == QSocketNotifier::Read)
            n->setEnabled(false);
    m_fd = int(m_port->handle());
    m_readNotifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &QtSerialPort::readDescriptor);
#endif
    connect(m_port, &QSerialPort::readyRead, this, &QtSerialPort::readAvailable);
    connect(m_port, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
    // No notifier watches the descriptor for exceptions: it would keep the
    // terminal in every poll of the event loop, which then wakes for every
    // byte that arrives. A hung-up descriptor shows in the read notifier, in a
    // failing write, and in the check made whenever a reply does not come.
    return true;
}

void QtSerialPort::closeDevice()
{
    delete m_readNotifier;
    m_readNotifier.clear();
    m_fd = -1;
    if (m_tcp) {
        m_tcp->disconnect(this);
        m_tcp->close();
        m_tcp->deleteLater();
        m_tcp = nullptr;
    }
    if (m_port) {
        m_port->disconnect(this);
        m_port->close();
        m_port->deleteLater();
        m_port = nullptr;
    }
}

void QtSerialPort::writeDevice(const QByteArray& bytes)
{
    if (m_tcp) {
        if (!m_tcp->write(bytes))
            lost(QStringLiteral("write to %1 failed: %2").arg(m_name, m_tcp->errorString()));
        return;
    }
    if (!m_port)
        return;
#ifdef Q_OS_UNIX
    if (m_fd >= 0) {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0) {
                done += n;
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && errno == EAGAIN) {
                break;  // the driver is full: the rest goes through QSerialPort's buffer
            } else {
                lost(QStringLiteral("write to %1 failed: %2").arg(m_name, QString::fromLocal8Bit(std::strerror(errno))));
                return;
            }
        }
        if (done == bytes.size())
            return;
        const QByteArray rest = bytes.mid(done);
        if (m_port->write(rest) != rest.size())
            lost(QStringLiteral("write to %1 failed: %2").arg(m_name, m_port->errorString()));
        return;
    }
#endif
    if (m_port->write(bytes) != bytes.size()) {
        lost(QStringLiteral("write to %1 failed: %2").arg(m_name, m_port->errorString()));
        return;
    }
    // Hand the bytes to the driver now rather than on a later turn of the event loop.
    m_port->flush();
}

void QtSerialPort::awaitBytes(int count)
{
#ifdef Q_OS_UNIX
    // With VTIME 0 a terminal reports itself readable only once VMIN bytes have
    // arrived, so the program is handed a reply once it is whole instead of a
    // byte at a time. Reads still return whatever is there. With no reply
    // awaited (the modem dialogue polls the input) every byte counts.
    if (!m_port)
        return;
    // A reply that is complete leaves the setting as it is: the next request
    // sets its own, and nothing is awaited meanwhile.
    if (count <= 0 && rThreshold() > 0)
        return;
    const int vmin = std::clamp(count, 1, 255);
    if (vmin == m_vmin)
        return;
    const int fd = int(m_port->handle());
    if (m_vmin < 0 && ::tcgetattr(fd, &m_termios) != 0)
        return;
    m_termios.c_cc[VMIN] = cc_t(vmin);
    m_termios.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &m_termios) == 0)
        m_vmin = vmin;
#else
    Q_UNUSED(count);
#endif
}

void QtSerialPort::takeWaiting()
{
    // Bytes below the VMIN count stay in the driver: a reply that stopped
    // short is read here once its time is up.
    readDescriptor();
}

void QtSerialPort::flushDevice()
{
    if (m_tcp)
        m_tcp->dropWaiting();
    if (m_port)
        m_port->clear(QSerialPort::Input);
}

void QtSerialPort::readDescriptor()
{
#ifdef Q_OS_UNIX
    if (m_fd < 0)
        return;
    QByteArray bytes;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(m_fd, buf, sizeof buf);
        if (n > 0) {  // a terminal hands its input over in pieces: read until it has none
            bytes.append(buf, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            checkAlive();
            return;
        }
        break;
    }
    if (bytes.isEmpty())
        return;
    deliver(bytes);
#endif
}

void QtSerialPort::readAvailable()
{
    if (!m_port)
        return;
    const QByteArray bytes = m_port->readAll();
    if (!bytes.isEmpty())
        deliver(bytes);
}

void QtSerialPort::onError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
    case QSerialPort::UnsupportedOperationError:
        return;
    default:
        if (m_port)
            lost(QStringLiteral("%1: %2").arg(m_name, m_port->errorString()));
    }
}

void QtSerialPort::checkAlive()
{
    if (m_tcp) {
        if (portOpen() && !m_tcp->connected())
            lost(QStringLiteral("%1 is no longer connected").arg(m_name));
        return;
    }
    if (!m_port || !portOpen())
        return;
#ifdef Q_OS_UNIX
    termios t;
    if (::tcgetattr(int(m_port->handle()), &t) != 0 && (errno == EIO || errno == ENXIO || errno == ENODEV
                                                         || errno == EBADF)) {
        lost(QStringLiteral("%1 is no longer available").arg(m_name));
        return;
    }
#endif
    if (!QFileInfo::exists(m_name))
        lost(QStringLiteral("%1 is no longer available").arg(m_name));
}

} // namespace gx
