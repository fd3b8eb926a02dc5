// Writing the working profile out: the download to a controller on the fake line, the
// profile file on disk, the print-out, and the one screen each File operation
// leaves showing.

#include "shellfixture.h"

#include "profile/profilefile.h"
#include "profile/profileimage.h"

#include <QApplication>
#include <QStatusBar>

using namespace gx;
using namespace gx::test;

TEST(Download, EachOutcomeOnTheScriptedController)
{
    struct Row {
        const char* what;
        std::function<void(ControllerFixture&)> setUp;
        const char* message;  // error window; "" for success
        bool imageSent, textSent;
        double atLeast;  // seconds the download took
    };
    const Row rows[] = {
        {"stopped", [](ControllerFixture&) {}, "", true, true, 2.0},
        {"shut down, an old error text left", [](ControllerFixture& f) { f.ctl.state = 5; f.window.link().ProgStatus = "old"; },
         "", true, true, 2.0},
        {"no status", [](ControllerFixture& f) { f.ctl.silent << "status"; }, "Status update error: download failed", false, false, 22},
        {"starting", [](ControllerFixture& f) { f.ctl.state = 1; }, "Engine not stopped", false, false, 0},
        {"on load", [](ControllerFixture& f) { f.ctl.state = 4; }, "Engine not stopped", false, false, 0},
        {"silent identification", [](ControllerFixture& f) { f.ctl.silent << "identify"; }, "No ID received from GX510-520", false, false, 4},
        {"image not confirmed", [](ControllerFixture& f) { f.ctl.silent << "profile stored"; }, "Download Failed", true, false, 41},
        {"notes not confirmed", [](ControllerFixture& f) { f.ctl.silent << "notes stored"; }, "Profile-text download Failed", true, true, 45},
    };
    for (const Row& r : rows) {
        ControllerFixture f;
        f.window.CommandProgram->click();
        f.editor().setNotes(QStringLiteral("Pump room\r\nkey at gate"));
        r.setUp(f);
        const double start = f.clock.now();
        f.window.menuSaveGX510->trigger();
        SCOPED_TRACE(r.what);
        EXPECT_GE(f.clock.now() - start, r.atLeast);
        EXPECT_EQ(statusMessage(f.window, true), QString::fromLatin1(r.message));
        EXPECT_EQ(f.port.written().contains(char(cmd::ProfileDownload)), r.imageSent);
        EXPECT_EQ(f.ctl.profilesStored, int(r.imageSent));
        EXPECT_EQ(f.ctl.notesStored, int(r.textSent));
        EXPECT_EQ(f.ctl.broken, 0);
        if (*r.message == '\0') {
            const auto expected = encodeProfileImage(f.editor().workingProfile(), nullptr);
            EXPECT_EQ(f.ctl.profile, *expected);
            EXPECT_EQ(f.ctl.notes, QByteArray("Pump room\r\nkey at gate").leftJustified(1023, ' '));
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
    ControllerFixture f;
    f.editor().setSwitchOption(24, -1);
    f.window.menuSaveGX510->trigger();
    ASSERT_EQ(f.dialogs.informed.size(), 1);
    EXPECT_TRUE(f.dialogs.informed[0].contains("Outputs: Programmable output 1: has no option selected"))
        << qPrintable(f.dialogs.informed[0]);
    EXPECT_TRUE(f.port.written().isEmpty());
}

TEST(ProfileFile, SaveAndOpenThroughTheDialogs)
{
    ControllerFixture f;
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
    EXPECT_EQ(screensShown(f.window), 1);
    EXPECT_EQ(f.window.screenShown(), FormMonitor::Screen::Editor);
    EXPECT_EQ(statusMessage(f.window, false), QStringLiteral("Opened successfully"));
    EXPECT_TRUE(f.fileDialogs.calls[1].startsWith("open GX510-520 Profile load | "));
}

TEST(ProfileFile, FailuresLeaveTheProfileTheFileAndTheNameAsTheyWere)
{
    ControllerFixture f;
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
    ControllerFixture f;
    bool entryDisabled = false;
    f.printer.onPrint = [&] { entryDisabled = !f.window.menuPrintProfile->isEnabled(); };
    f.window.menuPrintProfile->trigger();
    EXPECT_EQ(f.printer.documents.size(), 1);
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
    const std::pair<const char*, std::function<void(ControllerFixture&)>> ends[] = {
        {"upload error", [](ControllerFixture& f) { f.port.responder = {}; f.window.menuLoadGX510->trigger(); }},
        {"declined discard", [](ControllerFixture& f) {
             f.editor().setTimerValue(1, 3);
             f.dialogs.answers = {Dialogs::Cancel};
             f.window.menuLoadGX510->trigger();
             EXPECT_EQ(f.dialogs.asked, QStringList{"Discard current profile? | Profile changed"});
             EXPECT_TRUE(f.port.written().isEmpty()) << "nothing is read";
             EXPECT_EQ(f.editor().workingProfile().TimerValue[1], 3);
         }},
        {"cancelled open", [](ControllerFixture& f) { f.window.menuLoadDisk->trigger(); }},
        {"print", [](ControllerFixture& f) { f.window.menuPrintProfile->trigger(); }},
    };
    for (const auto& [what, end] : ends) {
        for (bool fromEditor : {true, false}) {
            ControllerFixture f;
            if (fromEditor)
                f.window.CommandProgram->click();
            end(f);
            EXPECT_EQ(screensShown(f.window), 1) << what;
            EXPECT_EQ(f.window.screenShown(), fromEditor ? FormMonitor::Screen::Editor : FormMonitor::Screen::Start) << what;
        }
    }
}
