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

TEST(StateMessages, MalformedMessagesAreRefusedWithTheirReason)
{
    const QByteArray good = stateMessage(onLoad(), QDateTime::currentDateTime());
    const auto read = readStateMessage(good);
    ASSERT_TRUE(read);
    EXPECT_EQ(statusJson(read->status), statusJson(onLoad())) << "a good one reads back whole";
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
    // Fault messages read back: the Serve tests; here the wire's word for a fault gone.
    EXPECT_TRUE(faultMessage({17, "x", false, QDateTime::currentDateTime()}).contains("\"state\":\"cleared\""));
}

TEST(StateMessages, TopicsAreBuiltAndTakenApart)
{
    // The everyday names and topics are proven by the service (Serve tests) and
    // the fleet board (FleetBoard, FleetMode); here the corners.
    EXPECT_EQ(topicSafe("North/Pump #3"), "North_Pump_3");
    EXPECT_EQ(topicSafe("   "), "site");
    for (const char* bad : {"", "a//b", "a/+", "#", "a b", "/a"})
        EXPECT_FALSE(isTopicPrefix(bad)) << bad;

    const struct {
        const char* topic;
        std::optional<std::tuple<QString, int, QString>> parts;
    } rows[] = {
        {"acme/gx/north/3/state", std::tuple{"north", 3, "state"}},
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

TEST(StateMessages, TheFleetRefusesAMessageWithItsReason)
{
    // Each kind read well makes the board's rows and alerts (FleetBoard tests);
    // here the reasons a message is refused.
    const QByteArray state = stateMessage(onLoad(), QDateTime::currentDateTime());
    const struct {
        const char* topic;
        QByteArray payload;
        const char* why;
    } rows[] = {
        {"gx520/north/2/fault", "", "not JSON"},
        {"gx520/north/2/availability", "maybe", "neither \"online\" nor \"offline\""},
        {"gx520/north/2/link", "{}", "does not read \"link\""},
        {"gx520/north/2/command", "start", "does not read \"command\""},
        {"gx520/north/x/state", state, "not a topic of a site's service"},
        {"other/north/2/state", state, "not a topic of a site's service"},
        {"gx520/north/2/state", edited(state, "hours_run", QJsonValue::Undefined), "\"hours_run\""},
        {"gx520/north/2/info", R"({"model":"GX520","firmware":"2.01","unit_id":"","site_name":"","commands":["jump"]})",
         "\"commands\""},
        {"gx520/north/2/info", R"({"model":"GX520","firmware":2.01,"unit_id":"","site_name":"","commands":[]})",
         "\"firmware\""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.topic);
        QString why;
        EXPECT_FALSE(readFleetMessage("gx520", row.topic, row.payload, &why));
        EXPECT_TRUE(why.contains(QString::fromUtf8(row.why))) << why.toStdString();
    }
    const auto cleared = readFleetMessage("gx520", "gx520/north/status", "");
    ASSERT_TRUE(cleared);
    EXPECT_EQ(cleared->kind, FleetMessage::Kind::Cleared);
}
