#pragma once

// The MQTT client (libmosquitto) driven by the Qt event loop: its socket in
// socket notifiers, its keep-alive on a timer, no thread of its own.

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

struct mosquitto;
struct mosquitto_message;
class QSocketNotifier;
class QTimer;

namespace gx {

class Waiter;

// One connection to a broker that looks after itself: it connects in the
// background, and when the broker cannot be reached, refuses or drops the
// connection, tries again after a pause that grows from 1 s to 60 s. Nothing
// it does blocks (bar resolving the broker's name). Retained messages are
// remembered and sent again on every new connection, subscriptions are
// renewed, and a birth message (the opposite of the will) goes first.
class MqttClient : public QObject {
    Q_OBJECT
public:
    struct Options {
        QString host = QStringLiteral("127.0.0.1");
        int port = 1883;
        bool tls = false;
        QString caFile;  // with tls; empty: the system's certificate authorities
        QString user, password;
        QString clientId;  // empty: one is made up
        int keepAliveSeconds = 30;
        // The will, left by the broker when the connection ends without a
        // goodbye, and the birth message sent first on every connection.
        QString willTopic;
        QByteArray willPayload, birthPayload;
        double connectTimeout = 10.0;  // seconds for a connection to be accepted
    };
    // "mqtt://HOST:PORT" or "mqtts://HOST:PORT" (the port 1883 or 8883 when
    // left out) as host, port and TLS; nothing for any other text.
    static std::optional<Options> brokerUrl(const QString& url);

    explicit MqttClient(const Options& options, QObject* parent = nullptr);
    ~MqttClient() override;

    // Starts connecting (and reconnecting for good).
    void start();
    bool connected() const { return m_connected; }

    // Publishes now when connected. A retained message is also remembered (an
    // empty one clears the topic) and sent again on every new connection.
    // Without a connection a message at qos 0 that is not retained is dropped;
    // at qos 1 it waits in the library's queue.
    void publish(const QString& topic, const QByteArray& payload, bool retain, int qos = 0);
    // Subscriptions last across reconnections.
    void subscribe(const QString& filter, int qos = 0);

    // Waits until the broker has acknowledged every message sent at qos 1,
    // then says a clean goodbye (so the will is not used); at most `seconds`
    // in the event loop in all. True when the goodbye went out.
    bool disconnectFromBroker(Waiter& waiter, double seconds);

    // Connections made so far, and the pause before the next attempt.
    int connections() const { return m_connections; }
    double retryPause() const { return m_pause; }

signals:
    void connectedChanged(bool connected);
    // A message on a subscribed topic; `retained` when it was stored by the broker.
    void messageReceived(const QString& topic, const QByteArray& payload, bool retained);
    // What went wrong with the connection, in words, once per change.
    void problem(const QString& text);

private:
    static void onConnect(mosquitto*, void* self, int rc);
    static void onDisconnect(mosquitto*, void* self, int rc);
    static void onMessage(mosquitto*, void* self, const mosquitto_message* m);
    static void onPublish(mosquitto*, void* self, int mid);

    void attempt();
    void watchSocket();
    void dropSocket();
    void afterCall(int rc);
    void lost(const QString& why);
    void scheduleRetry();
    void updateWrite();
    void sendAll();

    Options m_options;
    mosquitto* m_mosq = nullptr;
    std::unique_ptr<QSocketNotifier> m_read, m_write;
    int m_fd = -1;
    QTimer* m_misc;     // the library's keep-alive and retries
    QTimer* m_retry;    // the next connection attempt
    QTimer* m_timeout;  // an attempt that is not accepted in time
    bool m_started = false;
    bool m_everAttempted = false;
    bool m_connected = false;
    bool m_closing = false;
    double m_pause = 1.0;
    int m_connections = 0;
    QString m_lastProblem;
    QString m_refusal;       // the broker's answer to a refused connection
    QString m_libraryError;  // the library's last error message
    QMap<QString, QByteArray> m_retained;
    QMap<QString, int> m_subscriptions;
    QSet<int> m_unacknowledged;  // messages at qos 1 the broker has not acknowledged yet
};

} // namespace gx
