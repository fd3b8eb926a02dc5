// The MQTT client against a real mosquitto broker on 127.0.0.1: who it logs on
// as and which TLS broker it trusts. Its birth message, its will after a crash
// and retained topics sent again after a broker restart: the Serve tests, on
// gxctl serve's client.

#include "brokerprocess.h"

#include "platform/mqttclient.h"

#include <gtest/gtest.h>

#include <QProcess>

using gx::MqttClient;

TEST(MqttClient, LogsOnWithTheBrokersCredentialsOnly)
{
    QTemporaryDir dir;
    const QString passwords = dir.filePath("passwords");
    ASSERT_EQ(QProcess::execute("mosquitto_passwd", {"-b", "-c", passwords, "site", "s3cret"}), 0);
    BrokerProcess broker("password_file " + passwords);
    const struct {
        const char* user;
        const char* password;
        bool connects;
    } rows[] = {{"site", "s3cret", true}, {"site", "wrong", false}, {"", "", false}};
    for (const auto& row : rows) {
        MqttClient::Options o;
        o.port = broker.port;
        o.user = row.user;
        o.password = row.password;
        MqttClient client(o);
        QString problem;
        QObject::connect(&client, &MqttClient::problem, [&](const QString& p) { problem = p; });
        client.start();
        ASSERT_TRUE(Recorder::waitFor([&] { return client.connected() || !problem.isEmpty(); }, 5)) << row.user;
        EXPECT_EQ(client.connected(), row.connects) << row.user << " " << row.password;
        if (!row.connects) {
            EXPECT_TRUE(problem.contains("refused the connection")) << problem.toStdString();
            EXPECT_GT(client.retryPause(), 1.0) << "the next attempt waits longer";
        }
    }
}

TEST(MqttClient, TrustsATlsBrokerOnlyThroughItsCertificateAuthority)
{
    // A certificate authority and the broker's certificate for 127.0.0.1, made here.
    QTemporaryDir dir;
    auto openssl = [&](const QStringList& args) {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start("openssl", args);
        return p.waitForFinished(20000) && p.exitCode() == 0;
    };
    const QStringList ec{"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
    ASSERT_TRUE(openssl(QStringList{"req", "-x509"} + ec + QStringList{"-keyout", "ca.key", "-out", "ca.crt", "-days", "2", "-subj", "/CN=Test CA"}));
    ASSERT_TRUE(openssl(QStringList{"req"} + ec + QStringList{"-keyout", "server.key", "-out", "server.csr", "-subj", "/CN=127.0.0.1"}));
    QFile ext(dir.filePath("ext.cnf"));
    ASSERT_TRUE(ext.open(QIODevice::WriteOnly));
    ext.write("subjectAltName=IP:127.0.0.1\n");
    ext.close();
    ASSERT_TRUE(openssl({"x509", "-req", "-in", "server.csr", "-CA", "ca.crt", "-CAkey", "ca.key", "-CAcreateserial",
                         "-out", "server.crt", "-days", "2", "-extfile", "ext.cnf"}));
    BrokerProcess broker(QStringLiteral("cafile %1\ncertfile %2\nkeyfile %3")
                             .arg(dir.filePath("ca.crt"), dir.filePath("server.crt"), dir.filePath("server.key")));
    const struct {
        QString caFile;  // "": the system's authorities, which do not know this one
        bool connects;
    } rows[] = {{dir.filePath("ca.crt"), true}, {QString(), false}};
    for (const auto& row : rows) {
        MqttClient::Options o;
        o.port = broker.port;
        o.tls = true;
        o.caFile = row.caFile;
        MqttClient client(o);
        QString problem;
        QObject::connect(&client, &MqttClient::problem, [&](const QString& p) { problem = p; });
        client.start();
        ASSERT_TRUE(Recorder::waitFor([&] { return client.connected() || !problem.isEmpty(); }, 5));
        EXPECT_EQ(client.connected(), row.connects) << problem.toStdString();
        if (!row.connects) {
            EXPECT_TRUE(problem.contains("certificate verify failed")) << problem.toStdString();
        }
    }
}
