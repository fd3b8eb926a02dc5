// The dial sequence against a controller behind a modem, on the fake clock.

#include "fakecontroller.h"

#include "remote/dialer.h"

#include <gtest/gtest.h>

using namespace gx;
using namespace gx::test;

namespace {

struct DialFixture : LinkFixture {
    FakeController fc{port, clock, QByteArray(310, '\0')};
    Dialer dialer{link};
    QStringList progress;

    DialFixture()
    {
        fc.behindModem();
        settings.setSetting("ModemInit", "ATZE1V1X0S0=0");
        link.MODEMport = "2";
    }
    // Every write meets `keep` first; what it does not keep goes on to the modem.
    void intercept(std::function<bool(const QByteArray&)> keep)
    {
        port.responder = [keep, inner = port.responder](const QByteArray& w) {
            if (!keep(w))
                inner(w);
        };
    }
    Dialer::Result dial(const QString& pin = "1234")
    {
        return dialer.dial("5550100", pin, [this](const QString& s) { progress << s; });
    }
};

const QByteArray LogOn1234("\x09\x12\x34");

} // namespace

TEST(Dialer, EveryOutcomeOfTheSequence)
{
    struct Row {
        const char* what;
        std::function<void(DialFixture&)> setUp;
        Dialer::Result result;
        const char* message;  // the modem's message box, "" for none
        int logOns;           // log-on requests sent
    };
    const Row rows[] = {
        {"no modem", [](DialFixture& f) { f.intercept([](const QByteArray&) { return true; }); }, Dialer::Result::NoModem,
         "No MODEM detected | MODEM error (!)", 0},
        {"no carrier", [](DialFixture& f) { f.intercept([](const QByteArray& w) { return w.startsWith("ATD"); }); },
         Dialer::Result::NoConnection, "No connection | MODEM error (!)", 0},
        {"log-on unanswered", [](DialFixture& f) { f.intercept([&f](const QByteArray&) { return f.fc.data; }); },
         Dialer::Result::Rejected, "Password rejected: Call terminated | MODEM error (!)", 4},
        {"\"10\" in one read",
         [](DialFixture& f) {
             f.intercept([&f](const QByteArray&) {
                 const bool last = f.port.written().endsWith(LogOn1234);
                 if (last)
                     f.port.feedLater(0.05, "10");
                 return last;
             });
         },
         Dialer::Result::LoggedOn, "", 1},
    };
    for (const Row& r : rows) {
        DialFixture f;
        r.setUp(f);
        const double start = f.clock.now();
        SCOPED_TRACE(r.what);
        EXPECT_EQ(f.dial(), r.result);
        EXPECT_EQ(f.dialogs.informed.join(' '), QString::fromLatin1(r.message));
        EXPECT_EQ(f.port.written().count("ATZE1V1X0S0=0\r"), r.result == Dialer::Result::NoModem ? 3 : 1);
        EXPECT_EQ(f.port.written().count(char(cmd::RemoteLogOn)), r.logOns);
        if (r.result == Dialer::Result::NoConnection) {
            EXPECT_GE(f.clock.now() - start, 60.0);
        }
        if (r.result == Dialer::Result::Rejected) {
            EXPECT_EQ(f.port.openCount(), 3) << "the line dropped: closed and opened again";
            EXPECT_FALSE(f.fc.data) << "the modem hung up";
        }
        EXPECT_EQ(f.status.shown.contains("Connected    |1|0"), r.result == Dialer::Result::LoggedOn);
    }
}

TEST(Dialer, DialCommandPinBytesAndProgress)
{
    DialFixture f;
    f.settings.setSetting("Dial out mode", "Pulse");
    f.fc.pin = QByteArray("\x42\x09", 2);
    ASSERT_EQ(f.dial("42x9"), Dialer::Result::LoggedOn);
    EXPECT_TRUE(f.fc.requests.contains("AT:ATDP5550100"));
    EXPECT_EQ(f.progress, (QStringList{"Initialising Modem", "Dialing...", "( 1 ) Connected:- Sending password..."}));
    EXPECT_EQ(Dialer::pinBytes("0099"), QByteArray("\x00\x99", 2));
}
