#include "monitor/controlcommands.h"

#include <gtest/gtest.h>

using namespace gx;

TEST(ControlCommands, ButtonsAndModePicturesSendTheirByteOrSwitch)
{
    // The buttons' bytes and switches: ControlCommands (shell) and EndToEnd tests.
    for (int index : {4, 8, 9, -1})
        EXPECT_FALSE(commandForButton(index)) << index;

    // The mode pictures in MAN mode: {picture, byte}; out of it: ControlCommands (shell).
    const std::pair<int, int> pictures[] = {{0, 0x1A}, {1, 0x1B}, {2, 0x1C}};
    for (const auto& [picture, byte] : pictures)
        EXPECT_EQ(commandForImage(picture, true)->directByte, byte) << picture;
    EXPECT_EQ(commandForImage(2, true)->switchNumber, 11);
    EXPECT_FALSE(commandForImage(3, true));

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
}
