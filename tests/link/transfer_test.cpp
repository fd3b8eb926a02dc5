// Profile and status transfers against a fake line: a retry after a reply out
// of step, the network register map and the status image.

#include "linkfixture.h"

#include "link/protocol.h"

#include <gtest/gtest.h>

using namespace gx;
using namespace gx::test;

namespace {

// A profile image written out by hand: timer 0 = 100 tenths, SwSwitch 3 = 1,
// message 3 = "Pump house", sensor 0 = 2, PIN 2 = 1234.
QByteArray sampleImage()
{
    QByteArray image(310, '\0');
    image[1] = 100;
    image[96 + 3] = 1;
    const QByteArray site = "Pump house      ";
    image.replace(128 + 48, 16, site);
    image[256] = 2;
    image[264 + 4] = 0x12;
    image[264 + 5] = 0x34;
    return image;
}

// The network register for image bytes as the controller maps them.
QByteArray networkBlockReply(const QByteArray& image, int first, int count)
{
    QByteArray r;
    r.append(char(1)).append(char(3)).append(char(2 * count));
    for (int reg = first; reg < first + count; ++reg) {
        if (reg < 0x30)
            r.append(image[2 * reg]).append(image[2 * reg + 1]);
        else if (reg < 0xD8)
            r.append(char(0)).append(image[96 + reg - 0x30]);
        else
            r.append(image[264 + 2 * (reg - 0xD8)]).append(image[265 + 2 * (reg - 0xD8)]);
    }
    return r;
}

} // namespace

// ---- Profile upload ----

TEST(ProfileUpload, aReplyOutOfStepIsLetRunOutBeforeTheRetry)
{
    // The first reply comes with five stray bytes before it, at the line's
    // pace: the handler files it five bytes early and its checksum fails,
    // while its last five bytes are still crossing the line. The retry waits
    // for them to pass, so the second reply is read whole.
    LinkFixture f;
    const QByteArray good = withChecksum(sampleImage());
    int asked = 0;
    f.port.responder = [&](const QByteArray&) {
        const QByteArray reply = (asked++ ? QByteArray() : QByteArray("\xff\xff\xff\xff\xff")) + good;
        for (int i = 0; i < reply.size(); ++i)
            f.port.feedLater(0.003 + 0.00104 * i, reply.mid(i, 1));
    };
    f.link.uploadProfile();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(f.link.ProgStatus, QString());
    EXPECT_EQ(f.link.SiteName, QStringLiteral("Pump house      "));
    EXPECT_EQ(f.link.health.node(LinkHealth::DirectLine).checksumFailures, 1);
}

TEST(ProfileUpload, networkBlocksFillTheImageThroughTheRegisterMapAndAMissingOneEndsTheAttempt)
{
    LinkFixture f;
    f.link.NetworkMode = true;
    f.link.Address = 5;
    const QByteArray image = sampleImage();
    QList<QByteArray> requests;
    bool block3Silent = true;
    f.port.responder = [&](const QByteArray& w) {
        requests << w;
        const int first = uint8_t(w[4]), count = uint8_t(w[6]);
        if (first != 0x40 || !block3Silent)
            f.port.feedLater(0.07, networkBlockReply(image, first, count));
    };
    f.link.uploadProfile();
    EXPECT_EQ(requests.size(), 9) << "three attempts of blocks 1, 2 and the missing 3";
    EXPECT_EQ(f.link.ProgStatus, QStringLiteral("profile error"));
    EXPECT_EQ(f.link.NodeProfile[5][1], 100) << "block 1 stays stored";

    block3Silent = false;
    requests.clear();
    f.link.uploadProfile();
    ASSERT_TRUE(f.link.ProgStatus.isEmpty());
    ASSERT_EQ(requests.size(), 7);
    EXPECT_EQ(requests[6], net::readFrame(5, 0xC0, 28));
    const Profile& p = f.link.uploadedProfile;
    EXPECT_EQ((std::tuple{p.MessageText[3], p.AlogSensor[0], p.SwSwitch[3], p.PINtext[2]}),
              (std::tuple{QString("Pump house      "), 2, 1, QString("1234")}));
    EXPECT_EQ(p.PINtext[5], QStringLiteral("0000")) << "not read over the network";
}

// ---- Status upload ----

TEST(StatusUpload, replyLengthFollowsTheFirmware)
{
    LinkFixture f;
    for (auto [version, length] : std::vector<std::pair<double, int>>{{1.0, 65}, {1.01, 65}, {1.02, 67}, {0.0, 67}}) {
        f.link.FirmVersion = version;
        EXPECT_EQ(f.link.statusReplyLength(), length) << version;
    }
}

TEST(StatusUpload, aShortReplyLeavesTheContactorTimerBytesAlone)
{
    LinkFixture f;
    f.link.FirmVersion = 1.01;
    f.link.StatusImage[63] = 0x12;
    f.link.StatusImage[64] = 0x34;
    QByteArray data(63, '\0');
    data[1] = 3;
    f.port.responder = [&](const QByteArray&) { f.port.feed(withChecksum(data)); };
    const bool keepGoing = true;
    EXPECT_EQ(f.link.fetchMonitorStatus(keepGoing), Link::Fetch::Ok);
    EXPECT_EQ((std::array{f.link.StatusImage[1], f.link.StatusImage[63], f.link.StatusImage[64]}),
              (std::array<uint8_t, 3>{3, 0x12, 0x34}));
}

TEST(StatusUpload, leavingTheMonitorDuringARetryAbandonsTheFetch)
{
    LinkFixture f;
    bool keepGoing = true;
    f.waiter.onYield = [&] { keepGoing = false; };
    EXPECT_EQ(f.link.fetchMonitorStatus(keepGoing), Link::Fetch::Abandoned);
    EXPECT_EQ(f.port.writes().size(), 1);
}
