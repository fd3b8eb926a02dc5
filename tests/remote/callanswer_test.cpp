// The answer loop through all its states, against callers behind a modem.

#include "fakecontroller.h"

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
    }
    void setCountdown(const QString& t) override { countdowns << t; }
    void setNotice(const QString& t) override { notice = t; }
    QString notice;
};

// The caller's profile: its site name, nothing else set.
QByteArray callerImage()
{
    return QByteArray(310, '\0').replace(128 + 48, 16, "Caller site     ");
}

struct AnswerFixture : LinkFixture {
    FakeController fc{port, clock, callerImage()};
    QTemporaryDir dir;
    FileStore files;
    RecordingView view;
    CallAnswerer answerer{link, clock, files, view};

    AnswerFixture()
    {
        fc.behindModem();
        link.MODEMport = "2";
        answerer.setLogFolders(dir.path(), dir.filePath("fallback"));
        answerer.now = [] { return QDateTime({2026, 12, 6}, {8, 30, 0}); };
    }
    // Every write meets `keep` first; what it does not keep goes on to the modem.
    void intercept(std::function<bool(const QByteArray&)> keep)
    {
        port.responder = [keep, inner = port.responder](const QByteArray& w) {
            if (!keep(w))
                inner(w);
        };
    }
    QByteArray log() const
    {
        QFile f(QDir(dir.path()).filePath("faultlog.txt"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

TEST(CallAnswerer, ACallThroughEveryStateIntoTheLog)
{
    // Calls in a row and staying connected are the remote e2e's; here the
    // caption of each state, the question running out, and a node's fault.
    AnswerFixture f;
    f.fc.fault = 0x30;  // the caller reports a fault of RS485 node 2
    f.view.onStatus = [&](const QString& s) {
        if (s != "Awaiting incoming calls...")
            return;
        if (f.view.statuses.count(s) == 1)
            f.fc.call();
        else
            f.answerer.QuitLog = true;
    };
    EXPECT_EQ(f.answerer.logIncomingCalls(), CallAnswerer::End::Quit);
    EXPECT_EQ(f.view.statuses, (QStringList{"Initialising MODEM...", "Awaiting incoming calls...", "Ringing!...", "Answering...",
                                            "Connected:", "Connected: uploading ID...", "Connected: uploading profile...",
                                            "Connected: uploading status...", "Hanging up...", "Awaiting incoming calls..."}));
    EXPECT_EQ(f.view.countdowns.value(0), "Hanging up in  10 Sec");
    EXPECT_EQ(f.view.countdowns.filter("in  0 Sec").size(), 1) << "counted down to 0 once";
    EXPECT_TRUE(f.fc.requests.contains("AT:ATE0V0X0S0=0"));
    const QStringList records = calllog::recordLines(f.log());
    ASSERT_EQ(records.size(), 1);
    EXPECT_TRUE(records[0].startsWith("     1 RS485 Node: 2    12-06-2026 08:30:00 001200.00 ")) << qPrintable(records[0]);
}

TEST(CallAnswerer, AModemThatDoesNotAnswerEndsTheLoopAndAnUnwritableFolderIsSaidAndAvoided)
{
    AnswerFixture f;
    f.intercept([](const QByteArray&) { return true; });  // a modem that never answers
    EXPECT_EQ(f.answerer.logIncomingCalls(), CallAnswerer::End::NoModem);
    EXPECT_EQ(f.dialogs.informed, QStringList{"No response from MODEM | GX510-520"});
    EXPECT_FALSE(f.port.portOpen());

    // Nothing in the log's troubles waits on a person: they go to the status line.
    ASSERT_TRUE(f.files.write(f.dir.filePath("start"), "", nullptr));
    f.answerer.setLogFolders(f.dir.filePath("start"), f.dir.filePath("fallback"));  // a file, not a folder
    EXPECT_TRUE(f.answerer.Add_to_fault_log("Site", "000001.00", 0));
    EXPECT_EQ(f.dialogs.informed.size(), 1);
    EXPECT_TRUE(f.view.statuses.last().contains("are kept in")) << qPrintable(f.view.statuses.last());
    EXPECT_EQ(f.view.notice, f.view.statuses.last());
    EXPECT_EQ(f.answerer.logPath(), QDir(f.dir.filePath("fallback")).filePath("faultlog.txt"));
    EXPECT_EQ(calllog::recordLines(*f.files.read(f.answerer.logPath(), nullptr)).size(), 1);
}

TEST(CallAnswerer, TroublesWhileACallIsUpNeverWaitOnAPerson)
{
    // Each row: what goes wrong during the call, the record it gives, whether
    // it is written at once.
    const struct {
        const char* what;
        std::function<void(AnswerFixture&)> setUp;
        const char* record;  // the record's start after its number, "" for none
        bool written;
    } rows[] = {
        {"the modem says nothing to ATA",
         [](AnswerFixture& f) {
             f.intercept([&f](const QByteArray& w) {
                 if (w.startsWith("ATA"))
                     f.fc.ringing = false;  // the call goes, the modem says nothing
                 return w.startsWith("ATA");
             });
         },
         "", true},
        {"a profile that fails its checksum",
         [](AnswerFixture& f) {
             f.intercept([&f](const QByteArray& w) {
                 if (!f.fc.data || w != QByteArray(1, cmd::ProfileUpload))
                     return false;
                 QByteArray bad = withChecksum(QByteArray(310, 'x'));
                 bad[311] = char(bad[311] + 1);
                 f.port.feedLater(0.33, bad);
                 return true;
             });
         },
         " ----------------", true},
        {"a log that cannot be written anywhere",
         [](AnswerFixture& f) {
             ASSERT_TRUE(f.files.write(f.dir.filePath("start"), "", nullptr));
             ASSERT_TRUE(f.files.write(f.dir.filePath("fallback"), "", nullptr));
             f.answerer.setLogFolders(f.dir.filePath("start"), f.dir.filePath("fallback"));
         },
         " Caller site     ", false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        AnswerFixture f;
        f.fc.fault = 240;  // INPUT 3: its text comes from the caller's profile
        r.setUp(f);
        f.view.onStatus = [&](const QString& s) {
            if (s == "Awaiting incoming calls...") {
                if (f.view.statuses.count(s) == 1)
                    f.fc.call();
                else
                    f.answerer.QuitLog = true;
            }
        };
        f.view.onQuestion = [&] { f.answerer.NoGoMonitor = true; };
        EXPECT_EQ(f.answerer.logIncomingCalls(), CallAnswerer::End::Quit);
        EXPECT_TRUE(f.dialogs.informed.isEmpty()) << qPrintable(f.dialogs.informed.join('\n'));
        EXPECT_EQ(f.port.written().count("ATH0\r\n"), 1) << "the call ends on time";
        const QStringList shown = f.view.records;
        if (!*r.record) {
            EXPECT_TRUE(f.view.statuses.contains("No connection"));
            EXPECT_TRUE(shown.isEmpty());
            continue;
        }
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown[0].mid(6, 17), QString::fromLatin1(r.record));
        EXPECT_EQ(calllog::recordLines(f.log()).size(), r.written ? 1 : 0);
        EXPECT_EQ(f.answerer.unwrittenRecords(), r.written ? 0 : 1);
        EXPECT_EQ(shown[0].contains("profile unreadable"), QString(r.record).contains('-'));
        EXPECT_EQ(f.view.notice.isEmpty(), r.written);
    }
}
