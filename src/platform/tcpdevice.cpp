// Connecting to a serial gateway over TCP within a time limit, and passing bytes both ways.

#include "tcpdevice.h"

#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace gx {

TcpDevice::TcpDevice(QObject* parent) : QObject(parent) {}

TcpDevice::~TcpDevice()
{
    close();
}

bool TcpDevice::parse(const QString& name, QString* host, quint16* port)
{
    const QUrl url(name.trimmed(), QUrl::StrictMode);
    if (url.scheme() != QLatin1String("tcp") || url.host().isEmpty() || url.port() <= 0)
        return false;
    if (host)
        *host = url.host();
    if (port)
        *port = quint16(url.port());
    return true;
}

bool TcpDevice::open(const QString& name, QString* error)
{
    close();
    QString host;
    quint16 port = 0;
    if (!parse(name, &host, &port)) {
        *error = QStringLiteral("\"%1\" is not a gateway address of the form tcp://host:port").arg(name);
        return false;
    }
    m_name = name;
    m_socket = new QTcpSocket(this);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    QEventLoop wait;
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, &wait, &QEventLoop::quit);
    connect(m_socket, &QTcpSocket::connected, &wait, &QEventLoop::quit);
    connect(m_socket, &QTcpSocket::errorOccurred, &wait, &QEventLoop::quit);
    m_socket->connectToHost(host, port);
    limit.start(ConnectTimeoutMs);
    if (m_socket->state() != QAbstractSocket::ConnectedState && m_socket->state() != QAbstractSocket::UnconnectedState)
        wait.exec();
    if (m_socket->state() != QAbstractSocket::ConnectedState) {
        *error = m_socket->error() == QAbstractSocket::UnknownSocketError
                     ? QStringLiteral("%1 did not answer within %2 s").arg(name).arg(ConnectTimeoutMs / 1000)
                     : QStringLiteral("%1: %2").arg(name, m_socket->errorString());
        close();
        return false;
    }
    connect(m_socket, &QTcpSocket::readyRead, this, [this] {
        const QByteArray bytes = m_socket->readAll();
        if (!bytes.isEmpty())
            emit received(bytes);
    });
    connect(m_socket, &QTcpSocket::disconnected, this, [this] {
        emit dropped(QStringLiteral("%1 closed the connection").arg(m_name));
    });
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        if (e != QAbstractSocket::RemoteHostClosedError)
            emit dropped(QStringLiteral("%1: %2").arg(m_name, m_socket->errorString()));
    });
    return true;
}

void TcpDevice::close()
{
    if (!m_socket)
        return;
    m_socket->disconnect(this);
    m_socket->abort();
    m_socket->deleteLater();
    m_socket = nullptr;
}

bool TcpDevice::write(const QByteArray& bytes)
{
    if (!connected())
        return false;
    const bool ok = m_socket->write(bytes) == bytes.size();
    m_socket->flush();
    return ok;
}

void TcpDevice::dropWaiting()
{
    if (m_socket)
        m_socket->readAll();
}

bool TcpDevice::connected() const
{
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

QString TcpDevice::errorString() const
{
    return m_socket ? m_socket->errorString() : QString();
}

} // namespace gx
