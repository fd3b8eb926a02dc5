#include "monitor/controlcommands.h"

#include <gtest/gtest.h>

using namespace gx;

TEST(ControlCommands, ButtonsSendTheirByteOrSwitch)
{
    const struct {
        int index;
        char byte;
        int sw;
    } table[] = {{0, 0x06, 1}, {1, 0x07, 2}, {2, 0x0A, 3}, {3, 0x14, 6}, {5, 0x08, 0}, {6, 0x10, 4}, {7, 0x11, 5}};
    for (const auto& row : table) {
        const auto c = commandForButton(row.index);
        ASSERT_TRUE(c) << row.index;
        EXPECT_EQ(commandBytes(*c, false, 3), QByteArray(1, row.byte)) << row.index;
        EXPECT_EQ(c->switchNumber, row.sw) << row.index;
    }
    for (int index : {4, 8, 9, -1})
        EXPECT_FALSE(commandForButton(index)) << index;
}

TEST(ControlCommands, ModePicturesDependOnManMode)
{
    EXPECT_EQ(commandForImage(0, false)->directByte, 0x1A);
    EXPECT_EQ(commandForImage(0, true)->directByte, 0x1A);
    EXPECT_EQ(commandForImage(1, false)->directByte, 0x19);
    EXPECT_EQ(commandForImage(1, true)->directByte, 0x1B);
    EXPECT_EQ(commandForImage(2, false)->directByte, 0x19);
    EXPECT_EQ(commandForImage(2, true)->directByte, 0x1C);
    EXPECT_EQ(commandForImage(2, true)->switchNumber, 11);
    EXPECT_FALSE(commandForImage(3, true));
}

TEST(ControlCommands, NetworkFaultResetIsSwitchZero)
{
    const QByteArray frame = commandBytes(*commandForButton(5), true, 7);
    EXPECT_EQ(frame, QByteArray::fromHex("1e07050000ff00fe"));
}
