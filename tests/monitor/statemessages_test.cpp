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
