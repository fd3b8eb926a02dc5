// The answer loop through all its states, against a scripted modem and caller.

#include "scriptedmodem.h"

#include "remote/callanswer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace gx;
using namespace gx::test;

namespace {

struct RecordingView final : CallLogView {
    QStringList statuses, countdowns;
    QStringList records;
    int questions = 0;
    std::function<void(const QString&)> onStatus;
    std::function<void()> onQuestion;
    void setStatus(const QString& t) override
    {
        statuses << t;
        if (onStatus)
            onStatus(t);
    }
    void showRecords(const QStringList& r) override { records = r; }
    void showStayConnected(bool shown) override
    {
        if (shown && onQuestion)
            onQuestion();
        questions += shown;
    }
    void setCountdown(const QString& t) override { countdowns << t; }
};

struct AnswerFixture : LinkFixture {
    ScriptedModem modem{port, clock};
    QTemporaryDir dir;
    FileStore files;
    RecordingView view;
    CallAnswerer answerer{link, clock, files, view};

    AnswerFixture()
    {
        link.MODEMport = "2";
        answerer.setLogFolders(dir.path(), dir.filePath("fallback"));
        answerer.now = [] { return QDateTime({2026, 12, 6}, {8, 30, 0}); };
    }
    QByteArray log() const
    {
        QFile f(QDir(dir.path()).filePath("faultlog.txt"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

TEST(CallAnswerer, TwoCallsThroughEveryStateIntoTheLog)
{
    AnswerFixture f;
    int awaiting = 0;
    f.modem.fault = 0x30;  // the first caller reports a fault of RS485 node 12
    f.view.onStatus = [&](const QString& s) {
        if (s == "Awaiting incoming calls..." && ++awaiting <= 2)
            f.clock.scheduleIn(5, [&] { f.port.feed("2\r"); });  // RING
    };
    f.view.onQuestion = [&] {
        if (f.view.questions == 0) {
            f.modem.fault = 17;  // the next caller has its own fault
            return;               // the first question runs out
        }
        f.answerer.GoMonitor = true;  // "Yes" to the second
    };
    EXPECT_EQ(f.answerer.logIncomingCalls(), CallAnswerer::End::StayConnected);

    const QStringList call = {"Awaiting incoming calls...", "Ringing!...", "Answering...", "Connected:",
                              "Connected: uploading ID...", "Connected: uploading profile...", "Connected: uploading status..."};
    EXPECT_EQ(f.view.statuses, QStringList{"Initialising MODEM..."} + call + QStringList{"Hanging up..."} + call);
    EXPECT_EQ(f.view.countdowns.value(0), "Hanging up in  10 Sec");
    EXPECT_EQ(f.view.countdowns.filter("in  0 Sec").size(), 1) << "counted down to 0 once";
    EXPECT_TRUE(f.modem.lines.contains("ATE0V0X0S0=0"));
    EXPECT_EQ(f.modem.lines.count("ATA"), 2);
    EXPECT_EQ(f.modem.lines.count("ATH0"), 1);
    EXPECT_TRUE(f.port.portOpen()) << "staying connected leaves the line open";
    EXPECT_TRUE(f.status.shown.contains("Connected    |1|0"));

    const QStringList records = calllog::recordLines(f.log());
    ASSERT_EQ(records.size(), 2);
    EXPECT_TRUE(records[0].startsWith("     2 Caller site      12-06-2026 08:30:00 001234.56 ")) << qPrintable(records[0]);
    EXPECT_TRUE(records[1].startsWith("     1 RS485 Node: 12   12-06-2026 08:30:00 001234.56 ")) << qPrintable(records[1]);
    EXPECT_TRUE(f.log().endsWith("EOF\r\n"));
    EXPECT_EQ(f.view.records, records);
}

TEST(CallAnswerer, AModemThatDoesNotAnswerEndsTheLoopAndAnUnwritableFolderIsSaidAndAvoided)
{
    AnswerFixture f;
    f.modem.answersInit = false;
    EXPECT_EQ(f.answerer.logIncomingCalls(), CallAnswerer::End::NoModem);
    EXPECT_EQ(f.dialogs.informed, QStringList{"No response from MODEM | GX510-520"});
    EXPECT_FALSE(f.port.portOpen());

    ASSERT_TRUE(f.files.write(f.dir.filePath("start"), "", nullptr));
    f.answerer.setLogFolders(f.dir.filePath("start"), f.dir.filePath("fallback"));  // a file, not a folder
    EXPECT_TRUE(f.answerer.Add_to_fault_log("Site", "000001.00", 0));
    ASSERT_EQ(f.dialogs.informed.size(), 2);
    EXPECT_TRUE(f.dialogs.informed[1].contains("are kept in")) << qPrintable(f.dialogs.informed[1]);
    EXPECT_EQ(f.answerer.logPath(), QDir(f.dir.filePath("fallback")).filePath("faultlog.txt"));
    EXPECT_EQ(calllog::recordLines(*f.files.read(f.answerer.logPath(), nullptr)).size(), 1);
}
