#pragma once

// A controller's serial line reached through a serial gateway's raw TCP port.

#include <QByteArray>
#include <QObject>
#include <QString>

class QTcpSocket;

namespace gx {

// A controller's serial line behind an Ethernet or cellular serial gateway,
// offered as a raw TCP port ("tcp://host:port"). It carries the bytes only:
// a gateway has no line settings or handshake lines to set.
class TcpDevice : public QObject {
    Q_OBJECT
public:
    // How long a connection may take before the port counts as not opened.
    static constexpr int ConnectTimeoutMs = 3000;

    explicit TcpDevice(QObject* parent = nullptr);
    ~TcpDevice() override;

    // "tcp://host:port" split; false for anything else.
    static bool parse(const QString& name, QString* host, quint16* port);

    // Connects, waiting in the event loop (the window keeps answering) at most
    // ConnectTimeoutMs. False with the reason in *error.
    bool open(const QString& name, QString* error);
    void close();
    bool write(const QByteArray& bytes);
    void dropWaiting();
    bool connected() const;
    QString errorString() const;

signals:
    void received(const QByteArray& bytes);
    // The gateway closed the connection or it failed.
    void dropped(const QString& reason);

private:
    QTcpSocket* m_socket = nullptr;
    QString m_name;
};

} // namespace gx
