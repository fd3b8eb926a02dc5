#include "linkfixture.h"

#include "link/protocol.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

using namespace gx;
using namespace gx::test;

namespace {
QByteArray bytes(std::initializer_list<int> b)
{
    QByteArray out;
    for (int v : b)
        out.append(char(v));
    return out;
}
} // namespace

// ---- The receive handler files each reply by the length that is awaited ----

TEST(ReceiveHandler, filesEachReplyByTheLengthAwaitedOnceItIsWhole)
{
    // Each row: the framing, the threshold, the reply, the flag it sets (none:
    // the bytes stay waiting) and where it is filed. The reply comes in two
    // pieces, the first one byte short of the threshold. (Each reply kind the
    // link asks for is filed in the tests of its exchange; these are the
    // cases no exchange meets.)
    using Filed = QByteArray (*)(const Link&);
    const struct {
        bool network;
        int threshold, size;
        bool Link::*flag;
        Filed filed;
    } rows[] = {
        {false, 18, 20, &Link::GotLatestFault, [](const Link& l) { return l.FaultReply; }},  // more came: all taken
        {false, 5, 5, nullptr, nullptr},  // no reply is that long
        {true, 67, 67, &Link::GotPacket, [](const Link& l) { return l.NetReply; }},  // not a status on the network
    };
    bool Link::*const flags[] = {&Link::GotProfile, &Link::GotID,          &Link::StatusGot,      &Link::GotText,
                                 &Link::gotMODEMrx, &Link::GotLatestFault, &Link::GotQuickStatus, &Link::GotPacket};
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << (r.network ? "network " : "direct ") << r.threshold);
        LinkFixture f;
        f.link.NetworkMode = r.network;
        f.port.setRThreshold(r.threshold);
        QByteArray reply(r.size, '\0');
        for (int i = 0; i < r.size; ++i)
            reply[i] = char('A' + i % 26);
        f.port.feed(reply.left(r.threshold - 1));
        for (auto flag : flags)
            EXPECT_FALSE(f.link.*flag) << "a piece is no reply";
        f.port.feed(reply.mid(r.threshold - 1));
        for (auto flag : flags)
            EXPECT_EQ(f.link.*flag, flag == r.flag);
        EXPECT_EQ(f.port.inBufferCount(), r.flag ? 0 : r.size);
        if (r.filed) {
            EXPECT_EQ(r.filed(f.link), reply);
        }
        EXPECT_TRUE(!r.network || f.link.ID.isEmpty());
    }
}

TEST(ReceiveHandler, modemResultsCountOnlyOnceTheirLineHasEnded)
{
    // Each row: the pieces the modem's text arrives in, the whole lines taken.
    // (Results paced a byte at a time, word results and echoes: the remote
    // e2e, whose simulated modem paces every byte.)
    const struct {
        const char* what;
        QList<QByteArray> pieces;
        QStringList lines;
    } rows[] = {
        {"RING then CONNECT in one read", {"2\r1\r"}, {"2", "1"}},
        {"a line not ended yet", {"\r\nNO CARR"}, {}},
    };
    for (const auto& r : rows) {
        LinkFixture f;
        f.port.setRThreshold(replylen::ModemText);
        for (const QByteArray& piece : r.pieces)
            f.port.feed(piece);
        QStringList taken;
        EXPECT_EQ(f.link.gotMODEMrx, !r.lines.isEmpty()) << r.what;
        while (f.link.takeModemResponse())
            taken << f.link.MODEMresponse;
        EXPECT_EQ(taken, r.lines) << r.what;
        EXPECT_FALSE(f.link.gotMODEMrx) << r.what;
    }
}

// ---- The exchange, on the fake clock ----
// (Stale input thrown away before the request: RealPort's identification on a
// pseudo-terminal.)

TEST(Exchange, ClosingTheProgramEndsAFortySecondWaitAtOnce)
{
    LinkFixture f;
    f.waiter.onYield = [&] { f.waiter.setClosing(); };
    const double start = f.clock.now();
    EXPECT_FALSE(f.link.exchange(SerialPort::BinaryMode, 16, f.link.GotID, "x", 40.0));
    EXPECT_NEAR(f.clock.now() - start, 0.0, 0.06);
}

// ---- Opening the port ----

TEST(OpenCommunications, EachLineOpensWithItsHandshakeOrAsksForSettings)
{
    // The open port is closed and opened again on the line's own port; the
    // other line's port is set to 5 and never taken.
    const struct {
        const char* what;
        bool modem;
        const char* port;
        bool open;
        int handshake, dialogs;  // settings dialogs asked for
    } rows[] = {
        {"local, no handshake", false, "3", true, 0, 0},
        {"modem, hardware handshake", true, "2", true, 2, 0},
        {"no usable port: closed, only the dialog", false, "0", false, -1, 1},
    };
    for (const auto& r : rows) {
        LinkFixture f;
        r.modem ? f.settings.useRemote(r.port) : f.settings.useLocal(r.port);
        f.settings.setSetting(r.modem ? "CurrentPort" : "CurrentModemPort", "5");
        QSignalSpy dialog(&f.link, &Link::settingsDialogRequested);
        f.link.openCommunications();
        SCOPED_TRACE(r.what);
        EXPECT_EQ(f.port.portOpen(), r.open);
        EXPECT_FALSE(f.link.PortOpenError);
        if (r.open) {
            EXPECT_EQ((std::array{f.port.commPort(), f.port.handshaking(), f.port.openCount()}),
                      (std::array{QString(r.port).toInt(), r.handshake, 2}));
        }
        EXPECT_TRUE(f.dialogs.informed.isEmpty()) << qPrintable(f.dialogs.informed.join('\n'));
        EXPECT_EQ(dialog.count(), r.dialogs);
    }
}

TEST(OpenCommunications, APortThatWillNotOpenSaysWhyOnASecondLine)
{
    qputenv("USER", "jane");
    const struct {
        PortOpenFailure failure;
        const char* second;  // the line after "can't open COM 3"
    } rows[] = {
        {{PortTrouble::NoPermission, "/dev/ttyUSB0", "Permission denied", "dialout", {}},
         "/dev/ttyUSB0: permission denied. Add yourself to the group dialout and log in again "
         "(sudo adduser jane dialout)."},
        {{PortTrouble::NoSuchDevice, "/dev/ttyUSB0", "No such file or directory", {}, {"/dev/ttyUSB1"}},
         "/dev/ttyUSB0: no such device. Plug the adapter in, or choose the device it came back as in "
         "Settings > Com Ports (there now: /dev/ttyUSB1)."},
        {{PortTrouble::NoSuchDevice, "/dev/ttyS2", "Input/output error", {}, {}},
         "/dev/ttyS2: no such device. Plug the adapter in, or choose the device it came back as in "
         "Settings > Com Ports (no serial device is there now)."},
        {{PortTrouble::Busy, "/dev/ttyACM0", "Device or resource busy", {}, {}},
         "/dev/ttyACM0: busy, another program has it open (or ModemManager is probing a new adapter). Close "
         "that program, or wait a few seconds and try again; \"fuser -v /dev/ttyACM0\" names it."},
        {{PortTrouble::Other, "tcp://site:4001", "Connection refused", {}, {}}, "tcp://site:4001: Connection refused."},
    };
    for (const auto& r : rows) {
        LinkFixture f;
        f.port.setPortOpen(false);
        f.port.setOpenResult(false, r.failure.detail, r.failure);
        f.settings.useLocal("3");
        QSignalSpy dialog(&f.link, &Link::settingsDialogRequested);
        f.link.openCommunications();
        EXPECT_EQ(f.dialogs.informed, QStringList{QStringLiteral("can't open COM 3\n%1 | GX510-520").arg(r.second)});
        EXPECT_TRUE(f.link.PortOpenError && !f.port.portOpen() && f.port.commPort() == 3);
        EXPECT_EQ(dialog.count(), 1) << "the settings dialog follows";
    }
}

// ---- Checksums ----

TEST(Checksum, isAnUnsignedSumCarriedMostSignificantFirst)
{
    QByteArray high(130, char(0xFF)); // 33150 = 0x817E: high byte above 0x7F
    high += bytes({0x81, 0x7E});
    EXPECT_TRUE(checksumMatches(high, 130));
    EXPECT_EQ(receivedChecksum(high, 130), 33150u);
    high[131] = 0x7F;
    EXPECT_FALSE(checksumMatches(high, 130));
    EXPECT_FALSE(checksumMatches(QByteArray(3, '\0'), 3)) << "a reply too short to hold its checksum";
}

// ---- Identification ----

TEST(UploadID, networkReplyTakesOnlyTheLowByteOfEachRegister)
{
    LinkFixture f;
    f.link.NetworkMode = true;
    f.link.Address = 4;
    const QByteArray text = "GX520 V1.02     ";
    f.port.responder = [&](const QByteArray& w) {
        ASSERT_EQ(w, net::readFrame(4, 0xDC, 16));
        QByteArray r = bytes({4, 3, 32});
        for (char c : text)
            r += bytes({0xA5, c});
        f.port.feedLater(0.04, r);
    };
    f.link.uploadID();
    EXPECT_EQ(f.link.ID, QString::fromLatin1(text));
    EXPECT_DOUBLE_EQ(f.link.FirmVersion, 1.02);
    EXPECT_EQ(f.status.shown.value(0), QStringLiteral("Uploading ID   |2|0"));
}

TEST(UploadID, modelAndFirmwareFromTheIdentification)
{
    const struct {
        const char* id;
        const char* model;
        double firmware;
    } rows[] = {{"  GX520 V2.01   ", "GX520", 2.01}, {"GX520 V1.02  xx ", "GX520", 1.02}, {"GX520 Vabc      ", "GX520", 0.0},
                {"2.2 GX520       ", "GX520", 2.2} /* no V: from the start */, {"ABC             ", "", 0.0}};
    for (const auto& r : rows) {
        EXPECT_EQ(instrumentOf(r.id), QString(r.model)) << r.id;
        EXPECT_DOUBLE_EQ(firmwareVersion(r.id), r.firmware) << r.id;
    }
}

// ---- Link health: counted where the exchange is ----

TEST(LinkHealth, CountsEachOutcomeOfAScriptedSequenceExactly)
{
    LinkFixture f;
    f.link.FirmVersion = 2.01;  // 67-byte status
    const QByteArray good = withChecksum(QByteArray(65, '\0'));
    QByteArray bad = good;
    bad[66] = char(bad[66] ^ 1);
    // Missing, short, bad checksum, garbage before the reply, then a good one:
    // each reply after its delay.
    const std::pair<double, QByteArray> replies[] = {
        {0, {}}, {0.05, good.left(30)}, {0.10, bad}, {0.20, "xyz" + good}, {0.30, good}};
    int n = 0;
    f.port.responder = [&](const QByteArray&) {
        if (n < 5 && !replies[n].second.isEmpty())
            f.port.feedLater(replies[n].first, replies[n].second);
        ++n;
    };
    f.link.updateStatus();
    ASSERT_TRUE(f.link.StatusValid);
    const LinkCounts& c = f.link.health.node(LinkHealth::DirectLine);
    // requests, replies, time-outs, short replies, checksum failures, long replies
    EXPECT_EQ((std::array{c.requests, c.replies, c.timeouts, c.shortReplies, c.checksumFailures, c.longReplies}),
              (std::array{5L, 3L, 2L, 1L, 2L, 1L}));
    EXPECT_NEAR(c.meanReplyTime(), 0.2, 0.01);
    EXPECT_NEAR(c.worstReplyTime, 0.3, 0.01);
}
