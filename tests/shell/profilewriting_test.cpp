// Writing the working profile out: the download to a scripted controller, the
// profile file on disk, the print-out, and the one screen each File operation
// leaves showing.

#include "shellfixture.h"

#include "profile/profilefile.h"
#include "profile/profileimage.h"

#include <QApplication>
#include <QStatusBar>

using namespace gx;
using namespace gx::test;

namespace {

// A controller on the fake line that takes a download: it answers
// identification and status, collects the image after 0x03 and the notes after
// 0x18, and confirms each by identifying itself unless told not to.
struct WritingFixture : ShellFixture {
    QString id = QStringLiteral("GX520 V2.01     ");
    int state = 0;
    bool answersId = true, answersStatus = true, confirmsImage = true, confirmsText = true;
    enum class Rx { Idle, Image, Text } rx = Rx::Idle;
    QByteArray image, text;

    WritingFixture()
    {
        start();
        port.responder = [this](const QByteArray& w) { answer(w); };
    }
    ProgramMode& program() { return *window.findChild<ProgramMode*>(); }
    ProfileEditor& editor() { return program().editor(); }

    void answer(const QByteArray& w)
    {
        if (rx == Rx::Image) {
            image += w;
            if (image.size() == 312)
                rx = Rx::Idle;
            return;
        }
        if (rx == Rx::Text) {
            text += w;
            if (text.size() == 1025) {
                rx = Rx::Idle;
                if (confirmsText)
                    port.feedLater(2.0, id.toLatin1());
            }
            return;
        }
        switch (w[0]) {
        case cmd::Identify:
            if (answersId && (image.isEmpty() || confirmsImage))
                port.feedLater(image.isEmpty() ? 0.02 : 3.0, id.toLatin1());
            break;
        case cmd::Status:
            if (answersStatus) {
                QByteArray s(65, '\0');
                s[1] = char(state);
                port.feedLater(0.07, withChecksum(s));
            }
            break;
        case cmd::ProfileDownload: rx = Rx::Image; break;
        case cmd::TextDownload: rx = Rx::Text; break;
        default: break;
        }
    }

    // Exactly one of the start screen and the editor shows.
    QString screen() const
    {
        const bool start = !window.FrameQuickLaunch->isHidden();
        const bool editor = !window.TabStrip1->isHidden();
        return start && editor ? QStringLiteral("both") : start ? QStringLiteral("start") : editor ? QStringLiteral("editor") : QStringLiteral("none");
    }
};

} // namespace

TEST(Download, EachOutcomeOnTheScriptedController)
{
    struct Row {
        const char* what;
        std::function<void(WritingFixture&)> setUp;
        const char* message;  // error window; "" for success
        bool imageSent, textSent;
        double atLeast;  // seconds the download took
    };
    const Row rows[] = {
        {"stopped", [](WritingFixture&) {}, "", true, true, 2.0},
        {"shut down, an old error text left", [](WritingFixture& f) { f.state = 5; f.window.link().ProgStatus = "old"; },
         "", true, true, 2.0},
        {"no status", [](WritingFixture& f) { f.answersStatus = false; }, "Status update error: download failed", false, false, 22},
        {"starting", [](WritingFixture& f) { f.state = 1; }, "Engine not stopped", false, false, 0},
        {"running", [](WritingFixture& f) { f.state = 3; }, "Engine not stopped", false, false, 0},
        {"on load", [](WritingFixture& f) { f.state = 4; }, "Engine not stopped", false, false, 0},
        {"silent identification", [](WritingFixture& f) { f.answersId = false; }, "No ID received from GX510-520", false, false, 4},
        {"image not confirmed", [](WritingFixture& f) { f.confirmsImage = false; }, "Download Failed", true, false, 41},
        {"notes not confirmed", [](WritingFixture& f) { f.confirmsText = false; }, "Profile-text download Failed", true, true, 45},
    };
    for (const Row& r : rows) {
        WritingFixture f;
        f.window.CommandProgram->click();
        f.editor().setNotes(QStringLiteral("Pump room\r\nkey at gate"));
        r.setUp(f);
        const double start = f.clock.now();
        f.window.menuSaveGX510->trigger();
        SCOPED_TRACE(r.what);
        EXPECT_GE(f.clock.now() - start, r.atLeast);
        EXPECT_EQ(statusMessage(f.window, true), QString::fromLatin1(r.message));
        EXPECT_EQ(f.port.written().contains(char(cmd::ProfileDownload)), r.imageSent);
        EXPECT_EQ(f.image.size(), r.imageSent ? 312 : 0);
        EXPECT_EQ(f.text.size(), r.textSent ? 1025 : 0);
        if (*r.message == '\0') {
            const auto expected = encodeProfileImage(f.editor().workingProfile(), nullptr);
            EXPECT_EQ(f.image, withChecksum(*expected));
            EXPECT_EQ(f.text, QByteArray("Pump room\r\nkey at gate").leftJustified(1025, ' '));
            EXPECT_EQ(statusMessage(f.window, false), QStringLiteral("Download Successful"));
            EXPECT_EQ(f.window.CurrentProfileName, QStringLiteral("<520 download>"));
            EXPECT_TRUE(f.window.windowTitle().endsWith("  (<520 download>)"));
        } else {
            EXPECT_EQ(f.window.CurrentProfileName, QStringLiteral("defaults.520"));
        }
        // The image goes one byte a write, after 0x03 on its own.
        if (r.imageSent) {
            EXPECT_GE(f.port.writes().size(), 312 + (r.textSent ? 1025 : 0));
        }
        EXPECT_FALSE(f.window.statusBar()->isVisible()) << "the waiting count is gone";
    }
}

TEST(Download, AValueThatDoesNotFitIsRefusedBeforeAnythingIsSent)
{
    WritingFixture f;
    f.editor().setSwitchOption(24, -1);
    f.window.menuSaveGX510->trigger();
    ASSERT_EQ(f.dialogs.informed.size(), 1);
    EXPECT_TRUE(f.dialogs.informed[0].contains("Outputs: Programmable output 1: has no option selected"))
        << qPrintable(f.dialogs.informed[0]);
    EXPECT_TRUE(f.port.written().isEmpty());
}

TEST(ProfileFile, SaveAndOpenThroughTheDialogs)
{
    WritingFixture f;
    QTemporaryDir dir;
    const QString path = dir.filePath("site");  // no extension: used as typed
    f.window.CommandProgram->click();
    f.editor().setMessageText(3, QStringLiteral("North, gate 2"));
    f.editor().setTimerValue(2, 12);
    f.fileDialogs.paths = {path};
    f.window.menuSaveDisk->trigger();
    ASSERT_EQ(f.fileDialogs.calls.size(), 1);
    EXPECT_EQ(f.fileDialogs.calls[0], "save GX510-520 Profile save | " + profilesFolder() + " | "
                                          "GX510-520 profile (*.510;*.520)|*.510;*.520");
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), writeProfileFile(f.editor().workingProfile()));
    EXPECT_EQ(f.window.CurrentProfileName, path);
    EXPECT_EQ(statusMessage(f.window, false), QStringLiteral("Profile stored"));
    EXPECT_TRUE(f.window.ProfileChanged) << "saving does not change it";

    // Edited again, then opened: the file's values come back, unchanged-flag clear.
    f.editor().setTimerValue(2, 30);
    f.window.menuMain->trigger();
    f.fileDialogs.paths = {path};
    f.window.menuLoadDisk->trigger();
    EXPECT_EQ(f.dialogs.asked, QStringList{"Discard current profile? | Profile changed"});
    EXPECT_EQ(f.editor().workingProfile().TimerValue[2], 12);
    EXPECT_EQ(f.editor().TextMessage[3]->text(), QStringLiteral("North, gate 2   "));
    EXPECT_FALSE(f.window.ProfileChanged);
    EXPECT_TRUE(f.window.InProgram);
    EXPECT_EQ(f.screen(), "editor");
    EXPECT_EQ(statusMessage(f.window, false), QStringLiteral("Opened successfully"));
    EXPECT_TRUE(f.fileDialogs.calls[1].startsWith("open GX510-520 Profile load | "));
}

TEST(ProfileFile, FailuresLeaveTheProfileTheFileAndTheNameAsTheyWere)
{
    WritingFixture f;
    QTemporaryDir dir;
    const QByteArray before = writeProfileFile(f.editor().workingProfile());

    // A file that breaks the layout: named with its line, nothing applied.
    const QString bad = dir.filePath("bad.520");
    ASSERT_TRUE(f.files.write(bad, QByteArray(before).replace("System Values:", "Timers again:"), nullptr));
    f.fileDialogs.paths = {bad};
    f.window.menuLoadDisk->trigger();
    ASSERT_EQ(f.dialogs.informed.size(), 1);
    EXPECT_TRUE(f.dialogs.informed[0].contains(QDir::toNativeSeparators(bad) + ", line 18"))
        << qPrintable(f.dialogs.informed[0]);
    EXPECT_EQ(writeProfileFile(f.editor().workingProfile()), before);
    EXPECT_EQ(f.window.CurrentProfileName, QStringLiteral("defaults.520"));

    // A save where no file can be made: said why, the name kept.
    ASSERT_TRUE(f.files.write(dir.filePath("notafolder"), "", nullptr));
    f.fileDialogs.paths = {dir.filePath("notafolder/site.520")};
    f.window.menuSaveDisk->trigger();
    ASSERT_EQ(f.dialogs.informed.size(), 2);
    EXPECT_TRUE(f.dialogs.informed[1].startsWith("The profile could not be saved to")) << qPrintable(f.dialogs.informed[1]);
    EXPECT_EQ(f.window.CurrentProfileName, QStringLiteral("defaults.520"));

    // Values outside the limits arrive reported, as an upload reports them.
    Profile p = f.editor().workingProfile();
    p.SysValue[26] = 9;
    ASSERT_TRUE(f.files.write(dir.filePath("wide.520"), writeProfileFile(p), nullptr));
    f.fileDialogs.paths = {dir.filePath("wide.520")};
    f.window.menuLoadDisk->trigger();
    ASSERT_EQ(f.dialogs.informed.size(), 3);
    EXPECT_TRUE(f.dialogs.informed[2].contains("Generator phases:  file value 9")) << qPrintable(f.dialogs.informed[2]);
}

TEST(Printout, GoesToThePrinterThroughItsPreviewAndSaysWhenItsDataIsMissing)
{
    WritingFixture f;
    f.editor().setTimerValue(0, 65);
    bool entryDisabled = false;
    f.printer.onPrint = [&] { entryDisabled = !f.window.menuPrintProfile->isEnabled(); };
    f.window.menuPrintProfile->trigger();
    ASSERT_EQ(f.printer.documents.size(), 1);
    const QStringList lines = f.printer.documents[0].lines();
    EXPECT_TRUE(lines[0].startsWith("GX510-520 Profile.  Date: "));
    EXPECT_TRUE(lines.contains(QString("Start Delay:").leftJustified(35) + "00:01:05  delay before a start attempt begins"));
    EXPECT_TRUE(entryDisabled);
    EXPECT_TRUE(f.window.menuPrintProfile->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    QTemporaryDir empty;
    f.window.ProgramDirectory = empty.path();
    f.window.menuPrintProfile->trigger();
    EXPECT_EQ(f.printer.documents.size(), 1);
    ASSERT_EQ(f.dialogs.informed.size(), 1);
    EXPECT_TRUE(f.dialogs.informed[0].contains("\"print_data.txt\" was not found in " + empty.path())) << qPrintable(f.dialogs.informed[0]);
    EXPECT_TRUE(f.window.menuPrintProfile->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(FileMenu, EveryOperationLeavesExactlyOneScreen)
{
    const std::pair<const char*, std::function<void(WritingFixture&)>> ends[] = {
        {"upload error", [](WritingFixture& f) { f.port.responder = {}; f.window.menuLoadGX510->trigger(); }},
        {"declined discard", [](WritingFixture& f) {
             f.editor().setTimerValue(1, 3);
             f.dialogs.answers = {Dialogs::Cancel};
             f.window.menuLoadGX510->trigger();
         }},
        {"cancelled open", [](WritingFixture& f) { f.window.menuLoadDisk->trigger(); }},
        {"print", [](WritingFixture& f) { f.window.menuPrintProfile->trigger(); }},
    };
    for (const auto& [what, end] : ends) {
        for (bool fromEditor : {true, false}) {
            WritingFixture f;
            if (fromEditor)
                f.window.CommandProgram->click();
            end(f);
            EXPECT_EQ(f.screen(), fromEditor ? "editor" : "start") << what;
        }
    }
}
