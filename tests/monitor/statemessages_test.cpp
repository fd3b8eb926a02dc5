// The state and fault messages of gxctl serve and their readers; topic names.

#include "monitor/statemessages.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

using namespace gx;

namespace {

StatusSummary onLoad()
{
    StatusSummary s;
    s.state = 4;
    s.stateText = "Running on load";
    s.mode = "AUTO";
    s.lcdTop = "AUTO On load   ";
    s.lcdBottom = "230V   15A  50HZ";
    s.volts = {231, 230, 229};
    s.amps = {15, 15, 14};
    s.frequency = 50;
    s.oilPressure = 45;
    s.engineTemperature = 80;
    s.battery = 13.6;
    s.engineSpeed = 1500;
    s.hoursRun = 1234.56;
    s.faultCode = 17;
    s.faultText = "Low oil pressure shutdown";
    return s;
}

QByteArray edited(const QByteArray& message, const char* key, const QJsonValue& value)
{
    QJsonObject o = QJsonDocument::fromJson(message).object();
    if (value.isUndefined())
        o.remove(QLatin1String(key));
    else
        o.insert(QLatin1String(key), value);
    return QJsonDocument(o).toJson();
}

} // namespace

TEST(StateMessages, AStateMessageReadsBackToWhatWasWritten)
{
    const QDateTime when = QDateTime::fromString("2026-12-06T14:05:09+01:00", Qt::ISODate);
    const QByteArray message = stateMessage(onLoad(), when);
    const auto read = readStateMessage(message);
    ASSERT_TRUE(read);
    EXPECT_EQ(statusJson(read->status), statusJson(onLoad()));
    EXPECT_EQ(read->time, when);
    EXPECT_EQ(isoTime(read->time), "2026-12-06T14:05:09+01:00");
    QJsonObject o = QJsonDocument::fromJson(message).object();
    o.remove("time");
    EXPECT_EQ(o, statusJson(onLoad())) << "the state is the status JSON and its time, nothing more";

    const FaultMessage fault{17, "Low oil pressure shutdown", false, when};
    const auto f = readFaultMessage(faultMessage(fault));
    ASSERT_TRUE(f);
    EXPECT_EQ(std::tuple(f->code, f->text, f->came, f->time), std::tuple(17, fault.text, false, when));
    EXPECT_TRUE(faultMessage(fault).contains("\"state\":\"cleared\""));
}

TEST(StateMessages, MalformedMessagesAreRefusedWithTheirReason)
{
    const QByteArray good = stateMessage(onLoad(), QDateTime::currentDateTime());
    const struct {
        QByteArray payload;
        const char* why;
    } rows[] = {
        {"", "not JSON"},
        {"[1,2,3]", "not a JSON object"},
        {"{\"state\": 4", "not JSON"},
        {QByteArray(MaxMessageBytes + 1, ' '), "more than a message may hold"},
        {edited(good, "volts", QJsonValue::Undefined), "\"volts\""},
        {edited(good, "volts", QJsonArray{1, 2}), "\"volts\""},
        {edited(good, "amps", QJsonArray{1, 2, "3"}), "\"amps\""},
        {edited(good, "lcd", QJsonArray{"a"}), "\"lcd\""},
        {edited(good, "state", 4.5), "\"state\""},
        {edited(good, "state", "4"), "\"state\""},
        {edited(good, "battery_v", QJsonValue::Null), "\"battery_v\""},
        {edited(good, "fault", 17), "\"fault\""},
        {edited(good, "time", "yesterday"), "\"time\""},
        {edited(good, "fault_code", 1e12), "\"fault_code\""},
    };
    for (const auto& row : rows) {
        QString why;
        EXPECT_FALSE(readStateMessage(row.payload, &why)) << row.payload.left(80).toStdString();
        EXPECT_TRUE(why.contains(QLatin1String(row.why))) << why.toStdString();
    }
    EXPECT_TRUE(readStateMessage(edited(good, "extra", "a key of a later version"))) << "keys it does not know are left alone";
    EXPECT_FALSE(readFaultMessage(R"({"code":17,"text":"x","state":"gone","time":"2026-12-06T14:05:09Z"})"));
}

TEST(StateMessages, TopicsAreBuiltAndTakenApart)
{
    EXPECT_EQ(topicSafe("  Sim site 2      "), "Sim_site_2");
    EXPECT_EQ(topicSafe("North/Pump #3"), "North_Pump_3");
    EXPECT_EQ(topicSafe("   "), "site");
    EXPECT_TRUE(isTopicPrefix("gx520"));
    EXPECT_TRUE(isTopicPrefix("acme/gensets"));
    for (const char* bad : {"", "a//b", "a/+", "#", "a b", "/a"})
        EXPECT_FALSE(isTopicPrefix(bad)) << bad;

    EXPECT_EQ(nodeTopic("gx520", "north", 3, "state"), "gx520/north/3/state");
    const struct {
        const char* topic;
        std::optional<std::tuple<QString, int, QString>> parts;
    } rows[] = {
        {"acme/gx/north/3/state", std::tuple{"north", 3, "state"}},
        {"acme/gx/north/0/fault", std::tuple{"north", 0, "fault"}},
        {"acme/gx/north/status", std::tuple{"north", -1, "status"}},
        {"acme/gx/north/17/state", std::nullopt},
        {"acme/gx/north/03/state", std::nullopt},
        {"acme/gx/north/3/weather", std::nullopt},
        {"acme/gx/north/3/state/x", std::nullopt},
        {"acme/other/north/3/state", std::nullopt},
        {"acme/gx/no rth/3/state", std::nullopt},
    };
    for (const auto& row : rows) {
        const auto p = parseTopic("acme/gx", row.topic);
        EXPECT_EQ(p ? std::optional(std::tuple(p->site, p->node, p->leaf)) : std::nullopt, row.parts) << row.topic;
    }
}

TEST(StateMessages, TheFleetReadsEachMessageByItsTopic)
{
    const QDateTime when = QDateTime::fromString("2026-12-06T14:05:09+01:00", Qt::ISODate);
    const InfoMessage info{"GX520", "2.01", "GX520 V2.01", "North yard", {"start", "reset"}};
    const auto back = readInfoMessage(infoMessage(info));
    ASSERT_TRUE(back);
    EXPECT_EQ(std::tuple(back->model, back->firmware, back->unitId, back->siteName, back->commands),
              std::tuple(info.model, info.firmware, info.unitId, info.siteName, info.commands));

    using K = FleetMessage::Kind;
    const QByteArray state = stateMessage(onLoad(), when);
    const struct {
        const char* topic;
        QByteArray payload;
        std::optional<K> kind;  // nothing: refused
        const char* why = "";
    } rows[] = {
        {"gx520/north/2/state", state, K::State},
        {"gx520/north/2/fault", faultMessage({17, "Low oil pressure shutdown", true, when}), K::Fault},
        {"gx520/north/2/availability", "offline", K::Availability},
        {"gx520/north/status", "online", K::ServiceStatus},
        {"gx520/north/2/info", infoMessage(info), K::Info},
        {"gx520/north/2/state", "", K::Cleared},
        {"gx520/north/status", "", K::Cleared},
        {"gx520/north/2/fault", "", std::nullopt, "not JSON"},
        {"gx520/north/2/availability", "maybe", std::nullopt, "neither \"online\" nor \"offline\""},
        {"gx520/north/2/link", "{}", std::nullopt, "does not read \"link\""},
        {"gx520/north/2/command", "start", std::nullopt, "does not read \"command\""},
        {"gx520/north/x/state", state, std::nullopt, "not a topic of a site's service"},
        {"other/north/2/state", state, std::nullopt, "not a topic of a site's service"},
        {"gx520/north/2/state", "{\"state\":", std::nullopt, "not JSON"},
        {"gx520/north/2/state", edited(state, "hours_run", QJsonValue::Undefined), std::nullopt, "\"hours_run\""},
        {"gx520/north/2/state", QByteArray(1 << 20, '{'), std::nullopt, "more than a message may hold"},
        {"gx520/north/2/info", R"({"model":"GX520","firmware":"2.01","unit_id":"","site_name":"","commands":["jump"]})",
         std::nullopt, "\"commands\""},
        {"gx520/north/2/info", R"({"model":"GX520","firmware":2.01,"unit_id":"","site_name":"","commands":[]})",
         std::nullopt, "\"firmware\""},
    };
    for (const auto& row : rows) {
        QString why;
        const auto m = readFleetMessage("gx520", row.topic, row.payload, &why);
        SCOPED_TRACE(row.topic);
        EXPECT_EQ(m ? std::optional(m->kind) : std::nullopt, row.kind) << why.toStdString();
        if (!row.kind) {
            EXPECT_TRUE(why.contains(QString::fromUtf8(row.why))) << why.toStdString();
        }
    }
    const auto m = readFleetMessage("gx520", "gx520/north/2/state", state);
    ASSERT_TRUE(m);
    EXPECT_EQ(std::tuple(m->topic.site, m->topic.node, statusJson(m->state.status)),
              std::tuple(QString("north"), 2, statusJson(onLoad())));
}
