// The dial sequence and the hang-up against a scripted modem, on the fake clock.

#include "scriptedmodem.h"

#include "remote/dialer.h"

#include <gtest/gtest.h>

using namespace gx;
using namespace gx::test;

namespace {

struct DialFixture : LinkFixture {
    ScriptedModem modem{port, clock};
    Dialer dialer{link};
    QStringList progress;

    DialFixture()
    {
        settings.setSetting("ModemInit", "ATZE1V1X0S0=0");
        link.MODEMport = "2";
    }
    Dialer::Result dial(const QString& pin = "1234")
    {
        return dialer.dial("5550100", pin, [this](const QString& s) { progress << s; });
    }
};

} // namespace

TEST(Dialer, EveryOutcomeOfTheSequence)
{
    struct Row {
        const char* what;
        std::function<void(DialFixture&)> setUp;
        Dialer::Result result;
        const char* message;  // the modem's message box, "" for none
    };
    const Row rows[] = {
        {"logged on", [](DialFixture&) {}, Dialer::Result::LoggedOn, ""},
        {"no modem", [](DialFixture& f) { f.modem.answersInit = false; }, Dialer::Result::NoModem,
         "No MODEM detected | MODEM error (!)"},
        {"no carrier", [](DialFixture& f) { f.modem.connects = false; }, Dialer::Result::NoConnection,
         "No connection | MODEM error (!)"},
        {"PIN rejected", [](DialFixture& f) { f.modem.pinReply = "1"; }, Dialer::Result::Rejected,
         "Password rejected: Call terminated | MODEM error (!)"},
        {"log-on unanswered", [](DialFixture& f) { f.modem.pinReply = ""; }, Dialer::Result::Rejected,
         "Password rejected: Call terminated | MODEM error (!)"},
        {"rejected then accepted in one wait",
         [](DialFixture& f) {
             f.modem.pinReply = "1";
             f.port.responder = [&f, inner = f.port.responder](const QByteArray& w) {
                 inner(w);
                 if (f.modem.data && f.modem.pins == 2)
                     f.port.feedLater(1.0, "0");
             };
         },
         Dialer::Result::LoggedOn, ""},
        {"\"10\" in one read", [](DialFixture& f) { f.modem.pinReply = "10"; }, Dialer::Result::LoggedOn, ""},
    };
    for (const Row& r : rows) {
        DialFixture f;
        r.setUp(f);
        const double start = f.clock.now();
        SCOPED_TRACE(r.what);
        EXPECT_EQ(f.dial(), r.result);
        EXPECT_EQ(f.dialogs.informed.join(' '), QString::fromLatin1(r.message));
        const QStringList inits = f.modem.lines.filter("ATZE1V1X0S0=0");
        EXPECT_EQ(inits.size(), r.result == Dialer::Result::NoModem ? 3 : 1);
        if (r.result == Dialer::Result::NoConnection) {
            EXPECT_GE(f.clock.now() - start, 60.0);
        }
        if (r.result == Dialer::Result::Rejected) {
            // A rejection ends the log-on at once; silence gets four attempts.
            EXPECT_EQ(f.port.written().count(char(cmd::RemoteLogOn)), f.modem.pinReply.isEmpty() ? 4 : 1);
            EXPECT_EQ(f.port.openCount(), 3) << "the line dropped: closed and opened again";
        }
        if (r.result == Dialer::Result::LoggedOn) {
            EXPECT_TRUE(f.status.shown.contains("Connected    |1|0"));
        }
    }
}

TEST(Dialer, DialCommandPinBytesProgressAndCancel)
{
    DialFixture f;
    f.settings.setSetting("Dial out mode", "Pulse");
    ASSERT_EQ(f.dial("42x9"), Dialer::Result::LoggedOn);
    EXPECT_TRUE(f.modem.lines.contains("ATDP5550100"));
    EXPECT_EQ(f.settings.setting("LastNumber"), "5550100");
    EXPECT_TRUE(f.port.writes().contains(QByteArray(1, '\x42')) && f.port.writes().contains(QByteArray(1, '\x09')));
    EXPECT_EQ(f.progress, (QStringList{"Initialising Modem", "Dialing...", "( 1 ) Connected:- Sending password..."}));
    EXPECT_EQ(Dialer::pinBytes("0099"), QByteArray("\x00\x99", 2));

    // Cancel before CONNECT tells the modem to abandon the dial; after it,
    // CR LF would reach the controller, so the call is hung up instead.
    for (const double at : {10.0, 36.0}) {
        DialFixture c;
        c.modem.connectAfter = 30;
        c.clock.scheduleIn(at, [&] { c.dialer.cancel(); });
        EXPECT_EQ(c.dial(), Dialer::Result::Cancelled);
        const bool up = at > 30;
        EXPECT_EQ(c.port.written().endsWith("\r\n") && !c.port.written().endsWith("ATH0\r\n"), !up) << at;
        EXPECT_EQ(c.modem.lines.contains("ATH0"), up) << at;
        EXPECT_FALSE(c.dialer.connected());
        EXPECT_TRUE(c.dialogs.informed.isEmpty());
    }
}

TEST(Dialer, HangUpEscapesBetweenGuardTimesAndDropsTheLine)
{
    DialFixture f;
    ASSERT_EQ(f.dial(), Dialer::Result::LoggedOn);
    f.port.clearWritten();
    const int opens = f.port.openCount();
    f.dialer.hangUp();
    EXPECT_EQ(f.port.writes(), (QList<QByteArray>{"+", "+", "+", "ATH0\r\n"}));
    EXPECT_EQ(f.port.openCount(), opens + 1);
    EXPECT_TRUE(f.port.portOpen());
    EXPECT_EQ(f.status.shown.mid(f.status.shown.size() - 2), (QStringList{"Disconnecting..    |0|0", "Disconnected    |1|0"}));
}
