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
}
