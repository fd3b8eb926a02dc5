// The settings of gxctl serve: options, the INI file, the credentials file, all checked at start.

#include "serveconfig.h"

#include "monitor/controlcommands.h"
#include "monitor/statemessages.h"
#include "platform/credentials.h"
#include "platform/mqttclient.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace gxctl {

namespace {

bool refuse(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

std::optional<QByteArray> readSmallFile(const QString& path, QString* why)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *why = f.errorString();
        return std::nullopt;
    }
    QByteArray bytes = f.read(64 * 1024 + 1);
    if (bytes.size() > 64 * 1024) {
        *why = QStringLiteral("it is larger than 64 KiB");
        return std::nullopt;
    }
    return bytes;
}

bool parseBroker(const QString& text, ServeConfig& c, QString* error)
{
    const auto broker = gx::MqttClient::brokerUrl(text);
    if (!broker)
        return refuse(error, QStringLiteral("--broker \"%1\" is not mqtt://HOST:PORT or mqtts://HOST:PORT").arg(text));
    c.tls = broker->tls;
    c.brokerHost = broker->host;
    c.brokerPort = broker->port;
    return true;
}

bool readCredentials(const QString& path, ServeConfig& c, QString* error)
{
    QString why;
    const auto credentials = gx::readCredentialsFile(path, &why);
    if (!credentials)
        return refuse(error, QStringLiteral("--credentials ") + why);
    c.user = credentials->user;
    c.password = credentials->password;
    return true;
}

bool yesNo(const QString& key, const QString& text, bool& out, QString* error)
{
    const QString t = text.toLower();
    if (t == "true" || t == "yes" || t == "1" || t == "on")
        out = true;
    else if (t == "false" || t == "no" || t == "0" || t == "off")
        out = false;
    else
        return refuse(error, QStringLiteral("%1 = %2: give true or false").arg(key, text));
    return true;
}

// Every value, wherever it came from, is checked here.
bool apply(const QMap<QString, QString>& v, ServeConfig& c, QString* error)
{
    if (v.contains("node") && v.contains("nodes"))
        return refuse(error, QStringLiteral("--node and --nodes cannot be used together"));
    c.port = v.value("port");
    if (v.contains("node")) {
        bool ok = false;
        const int node = v.value("node").toInt(&ok);
        if (!ok || node < 1 || node > 15)
            return refuse(error, QStringLiteral("--node takes an RS485 node address 1 to 15"));
        c.nodes = {node};
    }
    if (v.contains("nodes")) {
        const auto nodes = parseNodeList(v.value("nodes"));
        if (!nodes)
            return refuse(error, QStringLiteral("--nodes \"%1\" is not a list of node addresses 1 to 15, such as 1-15 "
                                                "or 1,2,5").arg(v.value("nodes")));
        c.nodes = *nodes;
    }
    if (v.contains("broker") && !parseBroker(v.value("broker"), c, error))
        return false;
    if (v.contains("site")) {
        c.site = v.value("site");
        if (!gx::isTopicSafe(c.site))
            return refuse(error, QStringLiteral("--site \"%1\" may hold only letters, digits, \"_\" and \"-\"").arg(c.site));
    }
    for (const char* key : {"topic-prefix", "discovery-prefix"}) {
        if (!v.contains(key))
            continue;
        const QString value = v.value(key);
        if (!gx::isTopicPrefix(value))
            return refuse(error, QStringLiteral("--%1 \"%2\" must be levels of letters, digits, \"_\" and \"-\" "
                                                "joined by \"/\"").arg(QLatin1String(key), value));
        (QLatin1String(key) == QLatin1String("topic-prefix") ? c.topicPrefix : c.discoveryPrefix) = value;
    }
    if (v.contains("no-discovery")) {
        bool off = true;
        if (!yesNo(QStringLiteral("no-discovery"), v.value("no-discovery"), off, error))
            return false;
        c.discovery = !off;
    }
    if (v.contains("credentials") && !readCredentials(v.value("credentials"), c, error))
        return false;
    if (v.contains("cafile")) {
        c.caFile = v.value("cafile");
        QString why;
        if (!readSmallFile(c.caFile, &why))
            return refuse(error, QStringLiteral("--cafile %1 cannot be read: %2").arg(c.caFile, why));
        if (!c.tls)
            return refuse(error, QStringLiteral("--cafile needs an mqtts:// broker"));
    }
    if (v.contains("commands")) {
        for (const QString& name : v.value("commands").split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QString n = name.trimmed();
            if (n == QLatin1String("none"))
                continue;
            if (!gx::remoteCommandNames().contains(n))
                return refuse(error, QStringLiteral("--commands: \"%1\" is not one of %2")
                                         .arg(n, gx::remoteCommandNames().join(QStringLiteral(", "))));
            if (!c.commands.contains(n))
                c.commands << n;
        }
    }
    if (v.contains("on-fault")) {
        c.onFault = QProcess::splitCommand(v.value("on-fault"));
        const QString program = c.onFault.value(0);
        const QFileInfo info(program);
        const bool found = program.contains(QLatin1Char('/')) ? info.isFile() && info.isExecutable()
                                                              : !QStandardPaths::findExecutable(program).isEmpty();
        if (program.isEmpty() || !found)
            return refuse(error, QStringLiteral("--on-fault: \"%1\" is not a program that can be run").arg(program));
    }
    if (v.contains("interval")) {
        bool ok = false;
        c.interval = v.value("interval").toDouble(&ok);
        if (!ok || c.interval < 0.5 || c.interval > 3600)
            return refuse(error, QStringLiteral("--interval takes a number of seconds from 0.5 to 3600"));
        if (!c.nodes.isEmpty())
            return refuse(error, QStringLiteral("--interval paces the direct line; a network is polled without a pause"));
    }
    return true;
}

} // namespace

const QStringList& serveKeys()
{
    static const QStringList keys{"port",        "node",     "nodes",    "broker",  "site",
                                  "topic-prefix", "discovery-prefix",    "no-discovery",
                                  "credentials", "cafile",   "commands", "on-fault", "interval"};
    return keys;
}

std::optional<QMap<QString, QString>> readServeIni(const QByteArray& text, const QString& path, QString* error)
{
    QMap<QString, QString> values;
    const QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        const QString where = QStringLiteral("%1 line %2: ").arg(path).arg(i + 1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            if (line.compare(QLatin1String("[serve]"), Qt::CaseInsensitive) != 0) {
                refuse(error, where + QStringLiteral("only a [serve] section is read, not %1").arg(line));
                return std::nullopt;
            }
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString key = line.left(eq).trimmed();
        QString value = line.mid(eq + 1).trimmed();
        if (eq < 0 || key.isEmpty()) {
            refuse(error, where + QStringLiteral("expected KEY = VALUE, found \"%1\"").arg(line.left(60)));
            return std::nullopt;
        }
        if (!serveKeys().contains(key)) {
            refuse(error, where + QStringLiteral("unknown key \"%1\" (the keys are %2)")
                                      .arg(key, serveKeys().join(QStringLiteral(", "))));
            return std::nullopt;
        }
        if (values.contains(key)) {
            refuse(error, where + QStringLiteral("\"%1\" is given twice").arg(key));
            return std::nullopt;
        }
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        values.insert(key, value);
    }
    return values;
}

std::optional<ServeConfig> serveConfig(const QCommandLineParser& p, QString* error)
{
    QMap<QString, QString> values;
    if (p.isSet(QStringLiteral("config"))) {
        const QString path = p.value(QStringLiteral("config"));
        QString why;
        const auto bytes = readSmallFile(path, &why);
        if (!bytes) {
            refuse(error, QStringLiteral("--config %1 cannot be read: %2").arg(path, why));
            return std::nullopt;
        }
        const auto file = readServeIni(*bytes, path, error);
        if (!file)
            return std::nullopt;
        values = *file;
    }
    // The command line wins; --node and --nodes replace each other.
    for (const QString& key : serveKeys()) {
        if (!p.isSet(key))
            continue;
        if (key == QLatin1String("node"))
            values.remove(QStringLiteral("nodes"));
        if (key == QLatin1String("nodes"))
            values.remove(QStringLiteral("node"));
        values.insert(key, key == QLatin1String("no-discovery") ? QStringLiteral("true") : p.value(key));
    }
    if (p.isSet(QStringLiteral("node")) && p.isSet(QStringLiteral("nodes"))) {
        refuse(error, QStringLiteral("--node and --nodes cannot be used together"));
        return std::nullopt;
    }
    if (p.isSet(QStringLiteral("dial"))) {
        refuse(error, QStringLiteral("serve watches a line that stays connected; --dial is not for it"));
        return std::nullopt;
    }
    ServeConfig c;
    if (!apply(values, c, error))
        return std::nullopt;
    return c;
}

std::optional<QList<int>> parseNodeList(const QString& text)
{
    QList<int> nodes;
    const QStringList parts = text.split(QLatin1Char(','));
    for (const QString& part : parts) {
        const QStringList range = part.trimmed().split(QLatin1Char('-'));
        bool ok1 = false, ok2 = false;
        const int from = range.value(0).toInt(&ok1);
        const int to = range.size() == 2 ? range[1].toInt(&ok2) : (ok2 = ok1, from);
        if (range.size() > 2 || !ok1 || !ok2 || from < 1 || to > 15 || from > to)
            return std::nullopt;
        for (int n = from; n <= to; ++n)
            if (!nodes.contains(n))
                nodes << n;
    }
    std::sort(nodes.begin(), nodes.end());
    return nodes;
}

} // namespace gxctl
