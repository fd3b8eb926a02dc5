// The state, fault, info and link-count messages of gxctl serve, their readers, and topic names.

#include "monitor/statemessages.h"

#include "link/linkhealth.h"
#include "monitor/controlcommands.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace gx {

namespace {

bool fail(QString* why, const QString& text)
{
    if (why)
        *why = text;
    return false;
}

bool readInt(const QJsonObject& o, const char* key, int& out, QString* why)
{
    const QJsonValue v = o.value(QLatin1String(key));
    const double d = v.toDouble();
    if (!v.isDouble() || d != std::floor(d) || std::abs(d) > std::numeric_limits<int>::max())
        return fail(why, QStringLiteral("\"%1\" is not a whole number").arg(QLatin1String(key)));
    out = int(d);
    return true;
}

bool readDouble(const QJsonObject& o, const char* key, double& out, QString* why)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isDouble())
        return fail(why, QStringLiteral("\"%1\" is not a number").arg(QLatin1String(key)));
    out = v.toDouble();
    return true;
}

bool readText(const QJsonObject& o, const char* key, QString& out, QString* why)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isString())
        return fail(why, QStringLiteral("\"%1\" is not a text").arg(QLatin1String(key)));
    out = v.toString();
    return true;
}

bool readTriple(const QJsonObject& o, const char* key, std::array<int, 3>& out, QString* why)
{
    const QJsonArray a = o.value(QLatin1String(key)).toArray();
    if (!o.value(QLatin1String(key)).isArray() || a.size() != 3)
        return fail(why, QStringLiteral("\"%1\" is not a list of three numbers").arg(QLatin1String(key)));
    for (int i = 0; i < 3; ++i) {
        const double d = a[i].toDouble();
        if (!a[i].isDouble() || d != std::floor(d) || std::abs(d) > std::numeric_limits<int>::max())
            return fail(why, QStringLiteral("\"%1\" is not a list of three numbers").arg(QLatin1String(key)));
        out[size_t(i)] = int(d);
    }
    return true;
}

bool readTime(const QJsonObject& o, QDateTime& out, QString* why)
{
    out = QDateTime::fromString(o.value(QLatin1String("time")).toString(), Qt::ISODate);
    return out.isValid() || fail(why, QStringLiteral("\"time\" is not a time"));
}

std::optional<QJsonObject> objectOf(const QByteArray& payload, QString* why)
{
    if (payload.size() > MaxMessageBytes) {
        fail(why, QStringLiteral("%1 bytes, more than a message may hold").arg(payload.size()));
        return std::nullopt;
    }
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        fail(why, error.error != QJsonParseError::NoError ? QStringLiteral("not JSON: ") + error.errorString()
                                                           : QStringLiteral("not a JSON object"));
        return std::nullopt;
    }
    return doc.object();
}

QByteArray compact(const QJsonObject& o)
{
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

} // namespace

QJsonObject statusJson(const StatusSummary& s)
{
    return QJsonObject{{"state", s.state}, {"state_text", s.stateText}, {"mode", s.mode},
                       {"lcd", QJsonArray{s.lcdTop, s.lcdBottom}},
                       {"volts", QJsonArray{s.volts[0], s.volts[1], s.volts[2]}},
                       {"amps", QJsonArray{s.amps[0], s.amps[1], s.amps[2]}},
                       {"frequency_hz", s.frequency}, {"oil_pressure_psi", s.oilPressure},
                       {"engine_temperature_c", s.engineTemperature}, {"battery_v", s.battery},
                       {"engine_speed_rpm", s.engineSpeed}, {"hours_run", s.hoursRun},
                       {"fault_code", s.faultCode}, {"fault", s.faultText}};
}

std::optional<StatusSummary> statusFromJson(const QJsonObject& o, QString* why)
{
    StatusSummary s;
    const QJsonArray lcd = o.value(QLatin1String("lcd")).toArray();
    if (!readInt(o, "state", s.state, why) || !readText(o, "state_text", s.stateText, why)
        || !readText(o, "mode", s.mode, why))
        return std::nullopt;
    if (lcd.size() != 2 || !lcd[0].isString() || !lcd[1].isString()) {
        fail(why, QStringLiteral("\"lcd\" is not a list of two texts"));
        return std::nullopt;
    }
    s.lcdTop = lcd[0].toString();
    s.lcdBottom = lcd[1].toString();
    if (!readTriple(o, "volts", s.volts, why) || !readTriple(o, "amps", s.amps, why)
        || !readInt(o, "frequency_hz", s.frequency, why) || !readInt(o, "oil_pressure_psi", s.oilPressure, why)
        || !readInt(o, "engine_temperature_c", s.engineTemperature, why) || !readDouble(o, "battery_v", s.battery, why)
        || !readInt(o, "engine_speed_rpm", s.engineSpeed, why) || !readDouble(o, "hours_run", s.hoursRun, why)
        || !readInt(o, "fault_code", s.faultCode, why) || !readText(o, "fault", s.faultText, why))
        return std::nullopt;
    return s;
}

QString isoTime(const QDateTime& when)
{
    return when.toOffsetFromUtc(when.offsetFromUtc()).toString(Qt::ISODate);
}

QByteArray stateMessage(const StatusSummary& s, const QDateTime& when)
{
    QJsonObject o = statusJson(s);
    o.insert(QLatin1String("time"), isoTime(when));
    return compact(o);
}

std::optional<StateMessage> readStateMessage(const QByteArray& payload, QString* why)
{
    const auto o = objectOf(payload, why);
    if (!o)
        return std::nullopt;
    StateMessage m;
    const auto s = statusFromJson(*o, why);
    if (!s || !readTime(*o, m.time, why))
        return std::nullopt;
    m.status = *s;
    return m;
}

QByteArray faultMessage(const FaultMessage& f)
{
    return compact(QJsonObject{{"code", f.code}, {"text", f.text},
                               {"state", f.came ? QStringLiteral("came") : QStringLiteral("cleared")},
                               {"time", isoTime(f.time)}});
}

std::optional<FaultMessage> readFaultMessage(const QByteArray& payload, QString* why)
{
    const auto o = objectOf(payload, why);
    if (!o)
        return std::nullopt;
    FaultMessage f;
    QString state;
    if (!readInt(*o, "code", f.code, why) || !readText(*o, "text", f.text, why) || !readText(*o, "state", state, why)
        || !readTime(*o, f.time, why))
        return std::nullopt;
    if (state != QLatin1String("came") && state != QLatin1String("cleared")) {
        fail(why, QStringLiteral("\"state\" is neither \"came\" nor \"cleared\""));
        return std::nullopt;
    }
    f.came = state == QLatin1String("came");
    return f;
}

QByteArray infoMessage(const InfoMessage& i)
{
    return compact(QJsonObject{{"model", i.model}, {"firmware", i.firmware}, {"unit_id", i.unitId},
                               {"site_name", i.siteName}, {"commands", QJsonArray::fromStringList(i.commands)}});
}

std::optional<InfoMessage> readInfoMessage(const QByteArray& payload, QString* why)
{
    const auto o = objectOf(payload, why);
    if (!o)
        return std::nullopt;
    InfoMessage i;
    if (!readText(*o, "model", i.model, why) || !readText(*o, "firmware", i.firmware, why)
        || !readText(*o, "unit_id", i.unitId, why) || !readText(*o, "site_name", i.siteName, why))
        return std::nullopt;
    const QJsonValue commands = o->value(QLatin1String("commands"));
    for (const QJsonValue& c : commands.toArray()) {
        if (!c.isString() || !remoteCommandNames().contains(c.toString()) || i.commands.contains(c.toString())) {
            fail(why, QStringLiteral("\"commands\" is not a list of command names"));
            return std::nullopt;
        }
        i.commands << c.toString();
    }
    if (!commands.isArray()) {
        fail(why, QStringLiteral("\"commands\" is not a list of command names"));
        return std::nullopt;
    }
    return i;
}

QByteArray linkCountsMessage(const LinkCounts& c)
{
    return compact(QJsonObject{{"requests", qint64(c.requests)}, {"replies", qint64(c.replies)},
                               {"timeouts", qint64(c.timeouts)}, {"short_replies", qint64(c.shortReplies)},
                               {"checksum_failures", qint64(c.checksumFailures)},
                               {"long_replies", qint64(c.longReplies)},
                               {"mean_reply_ms", std::round(c.meanReplyTime() * 10000) / 10},
                               {"worst_reply_ms", std::round(c.worstReplyTime * 10000) / 10}});
}

// ---------------------------------------------------------------- topics

QString topicSafe(const QString& name)
{
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9_-]+"));
    QString s = name.trimmed();
    s.replace(unsafe, QStringLiteral("_"));
    return s.isEmpty() ? QStringLiteral("site") : s;
}

bool isTopicSafe(const QString& name)
{
    static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9_-]+$"));
    return safe.match(name).hasMatch();
}

bool isTopicPrefix(const QString& prefix)
{
    const QStringList levels = prefix.split(QLatin1Char('/'));
    for (const QString& level : levels)
        if (!isTopicSafe(level))
            return false;
    return true;
}

QString nodeTopic(const QString& prefix, const QString& site, int node, const QString& leaf)
{
    return QStringLiteral("%1/%2/%3/%4").arg(prefix, site).arg(node).arg(leaf);
}

QString siteStatusTopic(const QString& prefix, const QString& site)
{
    return QStringLiteral("%1/%2/status").arg(prefix, site);
}

std::optional<TopicParts> parseTopic(const QString& prefix, const QString& topic)
{
    if (!topic.startsWith(prefix + QLatin1Char('/')))
        return std::nullopt;
    const QStringList rest = topic.mid(prefix.size() + 1).split(QLatin1Char('/'));
    if (rest.isEmpty() || !isTopicSafe(rest[0]))
        return std::nullopt;
    if (rest.size() == 2 && rest[1] == QLatin1String("status"))
        return TopicParts{rest[0], -1, rest[1]};
    static const QStringList leaves{QStringLiteral("state"), QStringLiteral("availability"), QStringLiteral("fault"),
                                    QStringLiteral("info"),  QStringLiteral("link"),         QStringLiteral("command")};
    static const QRegularExpression number(QStringLiteral("^(0|[1-9][0-9]?)$"));
    if (rest.size() != 3 || !number.match(rest[1]).hasMatch() || rest[1].toInt() > 16 || !leaves.contains(rest[2]))
        return std::nullopt;
    return TopicParts{rest[0], rest[1].toInt(), rest[2]};
}

std::optional<FleetMessage> readFleetMessage(const QString& prefix, const QString& topic, const QByteArray& payload,
                                             QString* why)
{
    const auto parts = parseTopic(prefix, topic);
    if (!parts) {
        fail(why, QStringLiteral("not a topic of a site's service"));
        return std::nullopt;
    }
    FleetMessage m;
    m.topic = *parts;
    const QString& leaf = parts->leaf;
    const bool retainedLeaf = leaf == QLatin1String("state") || leaf == QLatin1String("availability")
                              || leaf == QLatin1String("info") || leaf == QLatin1String("status");
    if (retainedLeaf && payload.isEmpty()) {
        m.kind = FleetMessage::Kind::Cleared;
        return m;
    }
    if (leaf == QLatin1String("availability") || leaf == QLatin1String("status")) {
        if (payload != "online" && payload != "offline") {
            fail(why, QStringLiteral("neither \"online\" nor \"offline\""));
            return std::nullopt;
        }
        m.kind = leaf == QLatin1String("status") ? FleetMessage::Kind::ServiceStatus : FleetMessage::Kind::Availability;
        m.online = payload == "online";
        return m;
    }
    if (leaf == QLatin1String("state")) {
        const auto state = readStateMessage(payload, why);
        if (!state)
            return std::nullopt;
        m.kind = FleetMessage::Kind::State;
        m.state = *state;
        return m;
    }
    if (leaf == QLatin1String("fault")) {
        const auto fault = readFaultMessage(payload, why);
        if (!fault)
            return std::nullopt;
        m.kind = FleetMessage::Kind::Fault;
        m.fault = *fault;
        return m;
    }
    if (leaf == QLatin1String("info")) {
        const auto info = readInfoMessage(payload, why);
        if (!info)
            return std::nullopt;
        m.kind = FleetMessage::Kind::Info;
        m.info = *info;
        return m;
    }
    fail(why, QStringLiteral("the board does not read \"%1\" messages").arg(leaf));
    return std::nullopt;
}

} // namespace gx
