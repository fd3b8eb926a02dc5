#pragma once

// A mosquitto broker of its own on a free port of 127.0.0.1, its configuration
// in a temporary folder, and a recorder of what it carries. For end-to-end
// tests and benchmarks.

#include "platform/mqttclient.h"

#include <QFile>
#include <QHostAddress>
#include <QMap>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <pwd.h>
#include <unistd.h>
#include <utility>
#include <vector>

struct BrokerProcess {
    QTemporaryDir dir;
    QProcess proc;
    int port = 0;
    QString extra;  // more configuration lines (a password file, ...)

    explicit BrokerProcess(QString extraConfig = {}) : port(freePort()), extra(std::move(extraConfig)) { start(); }
    ~BrokerProcess() { stop(); }

    static int freePort()
    {
        QTcpServer s;
        s.listen(QHostAddress::LocalHost, 0);
        return s.serverPort();
    }
    QString url() const { return QStringLiteral("mqtt://127.0.0.1:%1").arg(port); }

    // Starts the broker (again, on the same port) and waits until it accepts connections.
    bool start()
    {
        QFile conf(dir.filePath(QStringLiteral("mosquitto.conf")));
        if (!conf.open(QIODevice::WriteOnly))
            return false;
        // "user": a broker started by root would otherwise become the user
        // mosquitto, who cannot read the test's files.
        conf.write(QStringLiteral("listener %1 127.0.0.1\nallow_anonymous %2\npersistence false\nuser %3\n%4\n")
                       .arg(port)
                       .arg(extra.contains("password_file") ? "false" : "true",
                            QString::fromLocal8Bit(::getpwuid(::getuid())->pw_name), extra)
                       .toUtf8());
        conf.close();
        proc.setProcessChannelMode(QProcess::MergedChannels);
        proc.start(QStringLiteral("mosquitto"), {QStringLiteral("-c"), conf.fileName()});
        if (!proc.waitForStarted(5000))
            return false;
        return QTest::qWaitFor([this] {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, quint16(port));
            return probe.waitForConnected(200);
        }, 5000);
    }
    // Kills it without a goodbye, as a crash or a power cut would.
    void kill()
    {
        proc.kill();
        proc.waitForFinished(3000);
    }
    void stop()
    {
        if (proc.state() == QProcess::NotRunning)
            return;
        proc.terminate();
        if (!proc.waitForFinished(3000))
            kill();
    }
};

// A client that keeps every message of the topics it subscribes to: the last
// payload per topic, and the whole sequence.
struct Recorder {
    gx::MqttClient client;
    QMap<QString, QByteArray> last;
    std::vector<std::pair<QString, QByteArray>> all;

    explicit Recorder(int port, const QString& filter = QStringLiteral("#"), gx::MqttClient::Options o = {})
        : client((o.port = port, o))
    {
        QObject::connect(&client, &gx::MqttClient::messageReceived, &client,
                         [this](const QString& t, const QByteArray& p, bool) {
                             last[t] = p;
                             all.emplace_back(t, p);
                         });
        client.subscribe(filter, 1);
        client.start();
    }
    // Waits in the event loop until `done` holds or `seconds` have passed.
    static bool waitFor(const std::function<bool()>& done, double seconds)
    {
        return QTest::qWaitFor(done, int(seconds * 1000));
    }
    bool waitForPayload(const QString& topic, const QByteArray& payload, double seconds)
    {
        return waitFor([&] { return last.value(topic) == payload; }, seconds);
    }
    int count(const QString& topic) const
    {
        int n = 0;
        for (const auto& [t, p] : all)
            n += t == topic;
        return n;
    }
};
