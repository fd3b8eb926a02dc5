// Topic names of the fleet's messages, and the wire's word for a fault gone.

#include "monitor/statemessages.h"

#include <gtest/gtest.h>

using namespace gx;

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
    // Messages refused with their reasons: FleetBoard; read back: the Serve tests. Here the wire's word for a fault gone.
    EXPECT_TRUE(faultMessage({17, "x", false, QDateTime::currentDateTime()}).contains("\"state\":\"cleared\""));
}
