#include "monitor/controlcommands.h"

#include <gtest/gtest.h>

using namespace gx;

TEST(ControlCommands, ButtonsAndModePicturesSendTheirByteOrSwitch)
{
    const struct {
        int index;
        char byte;
        int sw;
    } buttons[] = {{0, 0x06, 1}, {1, 0x07, 2}, {2, 0x0A, 3}, {3, 0x14, 6}, {5, 0x08, 0}, {6, 0x10, 4}, {7, 0x11, 5}};
    for (const auto& row : buttons) {
        const auto c = commandForButton(row.index);
        ASSERT_TRUE(c) << row.index;
        EXPECT_EQ(commandBytes(*c, false, 3), QByteArray(1, row.byte)) << row.index;
        EXPECT_EQ(c->switchNumber, row.sw) << row.index;
    }
    for (int index : {4, 8, 9, -1})
        EXPECT_FALSE(commandForButton(index)) << index;

    // The mode pictures depend on MAN mode: {picture, MAN, byte}.
    const std::tuple<int, bool, int> pictures[] = {{0, false, 0x1A}, {0, true, 0x1A}, {1, false, 0x19},
                                                   {1, true, 0x1B},  {2, false, 0x19}, {2, true, 0x1C}};
    for (const auto& [picture, man, byte] : pictures)
        EXPECT_EQ(commandForImage(picture, man)->directByte, byte) << picture << " " << man;
    EXPECT_EQ(commandForImage(2, true)->switchNumber, 11);
    EXPECT_FALSE(commandForImage(3, true));

    // Over the network, fault reset is switch 0 of the addressed station.
    EXPECT_EQ(commandBytes(*commandForButton(5), true, 7), QByteArray::fromHex("1e07050000ff00fe"));

    // The names of the command topic: {name, byte, switch}; "mute" and others send nothing.
    const std::tuple<const char*, int, int> named[] = {{"start", 0x06, 1}, {"stop", 0x07, 2}, {"reset", 0x08, 0},
                                                       {"auto", 0x1A, 9},  {"manual", 0x19, 8}, {"test", 0x14, 6}};
    for (const auto& [name, byte, sw] : named) {
        const auto c = commandNamed(name);
        ASSERT_TRUE(c) << name;
        EXPECT_EQ(*c, (ControlCommand{char(byte), sw})) << name;
    }
    for (const char* name : {"mute", "START", "reload", ""})
        EXPECT_FALSE(commandNamed(name)) << name;
    EXPECT_EQ(remoteCommandNames().size(), 7);
}
