// The MQTT client on libmosquitto, driven by socket notifiers and timers of the event loop.

#include "mqttclient.h"

#include "clock.h"
#include "waiter.h"

#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>

#include <mosquitto.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <utility>

namespace gx {

namespace {
constexpr double FirstPause = 1.0;
constexpr double LongestPause = 60.0;
constexpr int MiscEveryMs = 1000;

QString describe(int rc)
{
    if (rc == MOSQ_ERR_ERRNO)
        return QString::fromLocal8Bit(std::strerror(errno));
    return QString::fromUtf8(mosquitto_strerror(rc));
}
} // namespace

std::optional<MqttClient::Options> MqttClient::brokerUrl(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme != QLatin1String("mqtt") && scheme != QLatin1String("mqtts")) || url.host().isEmpty()
        || !url.userInfo().isEmpty() || (!url.path().isEmpty() && url.path() != QLatin1String("/")) || url.hasQuery()
        || url.hasFragment() || !text.contains(QLatin1String("://")))
        return std::nullopt;
    Options o;
    o.tls = scheme == QLatin1String("mqtts");
    o.host = url.host();
    o.port = url.port(o.tls ? 8883 : 1883);
    if (o.port <= 0)
        return std::nullopt;
    return o;
}

MqttClient::MqttClient(const Options& options, QObject* parent)
    : QObject(parent), m_options(options), m_misc(new QTimer(this)), m_retry(new QTimer(this)),
      m_timeout(new QTimer(this))
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { mosquitto_lib_init(); });
    const QByteArray id = options.clientId.toUtf8();
    m_mosq = mosquitto_new(id.isEmpty() ? nullptr : id.constData(), true, this);
    mosquitto_connect_callback_set(m_mosq, &MqttClient::onConnect);
    mosquitto_disconnect_callback_set(m_mosq, &MqttClient::onDisconnect);
    mosquitto_message_callback_set(m_mosq, &MqttClient::onMessage);
    mosquitto_publish_callback_set(m_mosq, &MqttClient::onPublish);
    // The library's own words for what failed (a certificate, a TLS handshake).
    mosquitto_log_callback_set(m_mosq, [](mosquitto*, void* self, int level, const char* text) {
        if (level & MOSQ_LOG_ERR)
            static_cast<MqttClient*>(self)->m_libraryError = QString::fromUtf8(text);
    });
    if (!options.willTopic.isEmpty())
        mosquitto_will_set(m_mosq, options.willTopic.toUtf8().constData(), int(options.willPayload.size()),
                           options.willPayload.constData(), 1, true);
    if (!options.user.isEmpty())
        mosquitto_username_pw_set(m_mosq, options.user.toUtf8().constData(), options.password.toUtf8().constData());
    if (options.tls) {
        const QByteArray ca = options.caFile.toLocal8Bit();
        const int rc = ca.isEmpty() ? mosquitto_tls_set(m_mosq, nullptr, "/etc/ssl/certs", nullptr, nullptr, nullptr)
                                    : mosquitto_tls_set(m_mosq, ca.constData(), nullptr, nullptr, nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS)
            m_lastProblem = QStringLiteral("TLS cannot be set up: ") + describe(rc);
    }

    m_misc->setInterval(MiscEveryMs);
    connect(m_misc, &QTimer::timeout, this, [this] { afterCall(mosquitto_loop_misc(m_mosq)); });
    m_retry->setSingleShot(true);
    connect(m_retry, &QTimer::timeout, this, &MqttClient::attempt);
    m_timeout->setSingleShot(true);
    connect(m_timeout, &QTimer::timeout, this, [this] {
        if (!m_connected)
            lost(QStringLiteral("the broker at %1:%2 did not accept the connection within %3 s")
                     .arg(m_options.host).arg(m_options.port).arg(m_options.connectTimeout));
    });
}

MqttClient::~MqttClient()
{
    dropSocket();
    mosquitto_destroy(m_mosq);
}

void MqttClient::start()
{
    if (m_started)
        return;
    m_started = true;
    if (!m_lastProblem.isEmpty())
        emit problem(m_lastProblem);
    attempt();
}

void MqttClient::attempt()
{
    if (m_closing)
        return;
    errno = 0;
    const int rc = m_everAttempted
                       ? mosquitto_reconnect_async(m_mosq)
                       : mosquitto_connect_async(m_mosq, m_options.host.toUtf8().constData(), m_options.port,
                                                 m_options.keepAliveSeconds);
    m_everAttempted = m_everAttempted || rc != MOSQ_ERR_INVAL;
    if (rc != MOSQ_ERR_SUCCESS || mosquitto_socket(m_mosq) < 0) {
        const QString error = std::exchange(m_libraryError, QString());
        lost(QStringLiteral("the broker at %1:%2 cannot be reached: %3%4")
                 .arg(m_options.host).arg(m_options.port)
                 .arg(describe(rc), error.isEmpty() ? QString() : QStringLiteral(" (") + error + QLatin1Char(')')));
        return;
    }
    watchSocket();
    m_timeout->start(int(m_options.connectTimeout * 1000));
}

void MqttClient::watchSocket()
{
    dropSocket();
    m_fd = mosquitto_socket(m_mosq);
    m_read = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    m_write = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Write);
    connect(m_read.get(), &QSocketNotifier::activated, this, [this] { afterCall(mosquitto_loop_read(m_mosq, 1)); });
    connect(m_write.get(), &QSocketNotifier::activated, this, [this] {
        // libmosquitto 2.0 goes on with a TLS handshake only in its read step,
        // and its write step waits until the handshake is done: a handshake
        // that waits to write (a connection still being made) goes on here.
        if (m_options.tls && !m_connected) {
            afterCall(mosquitto_loop_read(m_mosq, 1));
            if (m_fd < 0)
                return;
        }
        afterCall(mosquitto_loop_write(m_mosq, 1));
    });
    m_misc->start();
    updateWrite();
}

void MqttClient::dropSocket()
{
    m_misc->stop();
    if (m_read)
        m_read->setEnabled(false);
    if (m_write)
        m_write->setEnabled(false);
    m_read.reset();
    m_write.reset();
    m_fd = -1;
}

// After every call into the library: a socket it closed ends the connection;
// otherwise the socket is watched for writing while something waits to go out.
void MqttClient::afterCall(int)
{
    if (m_fd >= 0 && mosquitto_socket(m_mosq) != m_fd) {
        if (m_closing) {
            dropSocket();
            m_connected = false;
            return;
        }
        const QString refusal = std::exchange(m_refusal, QString());
        const QString error = std::exchange(m_libraryError, QString());
        const QString why = !refusal.isEmpty() ? refusal
                          : m_connected ? QStringLiteral("the connection to the broker at %1:%2 was lost")
                                              .arg(m_options.host).arg(m_options.port)
                                        : QStringLiteral("the broker at %1:%2 cannot be reached")
                                              .arg(m_options.host).arg(m_options.port);
        lost(error.isEmpty() || !refusal.isEmpty() ? why : why + QStringLiteral(" (") + error + QLatin1Char(')'));
        return;
    }
    updateWrite();
}

void MqttClient::updateWrite()
{
    if (m_write)
        m_write->setEnabled(mosquitto_want_write(m_mosq));
}

void MqttClient::lost(const QString& why)
{
    dropSocket();
    m_timeout->stop();
    const bool was = m_connected;
    m_connected = false;
    if (why != m_lastProblem) {
        m_lastProblem = why;
        emit problem(why);
    }
    if (was)
        emit connectedChanged(false);
    if (!m_closing) {
        m_retry->start(int(m_pause * 1000));
        m_pause = std::min(LongestPause, m_pause * 2);
    }
}

void MqttClient::onConnect(mosquitto*, void* self, int rc)
{
    auto* c = static_cast<MqttClient*>(self);
    if (rc != 0) {
        // The library closes the connection after this; afterCall reports it.
        c->m_refusal = QStringLiteral("the broker at %1:%2 refused the connection: %3")
                           .arg(c->m_options.host).arg(c->m_options.port)
                           .arg(QString::fromUtf8(mosquitto_connack_string(rc)));
        return;
    }
    c->m_connected = true;
    c->m_timeout->stop();
    c->m_pause = FirstPause;
    c->m_lastProblem.clear();
    ++c->m_connections;
    c->sendAll();
    QMetaObject::invokeMethod(c, [c] {
        if (c->m_connected)
            emit c->connectedChanged(true);
    }, Qt::QueuedConnection);
}

void MqttClient::onDisconnect(mosquitto*, void*, int)
{
    // Handled in afterCall, once the library has closed the socket.
}

void MqttClient::onPublish(mosquitto*, void* self, int mid)
{
    static_cast<MqttClient*>(self)->m_unacknowledged.remove(mid);
}

void MqttClient::onMessage(mosquitto*, void* self, const mosquitto_message* m)
{
    auto* c = static_cast<MqttClient*>(self);
    const QString topic = QString::fromUtf8(m->topic);
    const QByteArray payload(static_cast<const char*>(m->payload), m->payloadlen);
    const bool retained = m->retain;
    QMetaObject::invokeMethod(c, [c, topic, payload, retained] { emit c->messageReceived(topic, payload, retained); },
                              Qt::QueuedConnection);
}

void MqttClient::sendAll()
{
    if (!m_options.willTopic.isEmpty() && !m_options.birthPayload.isEmpty())
        mosquitto_publish(m_mosq, nullptr, m_options.willTopic.toUtf8().constData(), int(m_options.birthPayload.size()),
                          m_options.birthPayload.constData(), 1, true);
    for (auto it = m_retained.cbegin(); it != m_retained.cend(); ++it)
        mosquitto_publish(m_mosq, nullptr, it.key().toUtf8().constData(), int(it.value().size()), it.value().constData(),
                          0, true);
    for (auto it = m_subscriptions.cbegin(); it != m_subscriptions.cend(); ++it)
        mosquitto_subscribe(m_mosq, nullptr, it.key().toUtf8().constData(), it.value());
}

void MqttClient::publish(const QString& topic, const QByteArray& payload, bool retain, int qos)
{
    if (retain)
        m_retained[topic] = payload;
    if (!m_connected && (qos == 0 || m_closing))
        return;
    int mid = 0;
    if (mosquitto_publish(m_mosq, &mid, topic.toUtf8().constData(), int(payload.size()), payload.constData(), qos,
                          retain) == MOSQ_ERR_SUCCESS && qos > 0)
        m_unacknowledged.insert(mid);
    afterCall(MOSQ_ERR_SUCCESS);
}

void MqttClient::subscribe(const QString& filter, int qos)
{
    m_subscriptions[filter] = qos;
    if (m_connected) {
        mosquitto_subscribe(m_mosq, nullptr, filter.toUtf8().constData(), qos);
        afterCall(MOSQ_ERR_SUCCESS);
    }
}

bool MqttClient::disconnectFromBroker(Waiter& waiter, double seconds)
{
    m_closing = true;
    m_retry->stop();
    m_timeout->stop();
    if (!m_connected) {
        dropSocket();
        return false;
    }
    // The broker has taken every message at qos 1 once it has acknowledged
    // it. Only then the goodbye: closing a connection with unread data in
    // it resets it, and the broker would drop what it had not read yet.
    const double until = waiter.clock().now() + seconds;
    waiter.waitUntil([this] { return m_unacknowledged.isEmpty() || m_fd < 0; }, seconds);
    mosquitto_disconnect(m_mosq);
    afterCall(MOSQ_ERR_SUCCESS);
    waiter.waitUntil([this] { return m_fd < 0; }, std::max(0.0, until - waiter.clock().now()));
    const bool done = m_fd < 0;
    dropSocket();
    m_connected = false;
    return done;
}

} // namespace gx
