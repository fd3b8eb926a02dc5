// Program mode in the main window: the limits read at start-up and the upload
// from the File menu, from a controller on the fake line.

#include "shellfixture.h"

#include <QCoreApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

using namespace gx;
using namespace gx::test;

namespace {

// A profile image whose start delay (timer 0) is 7000 tenths and whose phases
// (system value 26) is 9: both beyond any sensible limits.
QByteArray outOfRangeProfile()
{
    QByteArray image(310, '\0');
    image[0] = char(7000 >> 8);
    image[1] = char(7000 & 0xFF);
    image[32 + 53] = 9;
    return image;
}

// A GX520 holding that profile and the notes "Notes".
struct ProgramFixture : ControllerFixture {
    ProgramFixture() : ControllerFixture(outOfRangeProfile()) { ctl.notes = QByteArray("Notes").leftJustified(1023, ' '); }
};

} // namespace

TEST(ProgramUpload, valuesOutsideTheLimitsAreReportedNotChangedSilently)
{
    ProgramFixture f;
    ASSERT_TRUE(f.dialogs.informed.isEmpty()) << "the shipped limits load cleanly";
    f.window.menuLoadGX510->trigger();
    ASSERT_EQ(f.dialogs.informed.size(), 1);
    const QString report = f.dialogs.informed[0];
    EXPECT_TRUE(report.contains(QStringLiteral("Start Delay:"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("Generator phases:"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("Nothing is written back")));
    EXPECT_EQ(f.editor().textProfileNotes->toPlainText(), QStringLiteral("Notes"));
    EXPECT_FALSE(f.window.ProfileChanged);
    EXPECT_EQ(f.window.CurrentProfileName, QStringLiteral("<520 upload>"));
}

TEST(ProgramUpload, aMissingTextReplyStopsBeforeTheWorkingProfileChanges)
{
    ProgramFixture f;
    f.ctl.silent << "notes";
    const QString before = f.editor().TextTimer[0]->text();
    f.window.menuLoadGX510->trigger();
    EXPECT_EQ(f.window.link().ProgStatus, QStringLiteral("Profile text error"));
    EXPECT_EQ(f.editor().TextTimer[0]->text(), before);
    EXPECT_EQ(f.window.CurrentProfileName, QStringLiteral("defaults.520"));
}

TEST(Limits, aMalformedFileIsNamedAndOnlyTheProgramScreensCloseDown)
{
    QTemporaryDir start;
    QFile broken(start.filePath(QStringLiteral("limits.txt")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("0,Start delay,0,600,30\r\n1,Preheat,zero,100,20\r\n");
    broken.close();
    ShellFixture f;
    QDir::setCurrent(start.path());
    f.settings.useLocal();
    installProgram(f.window);
    f.window.Form_Load();
    ASSERT_EQ(f.dialogs.informed.size(), 1);
    EXPECT_TRUE(f.dialogs.informed[0].contains(start.filePath(QStringLiteral("limits.txt"))));
    EXPECT_TRUE(f.dialogs.informed[0].contains(QStringLiteral("line 2"))) << f.dialogs.informed[0].toStdString();
    EXPECT_FALSE(f.window.CommandProgram->isEnabled());
    EXPECT_FALSE(f.window.menuProgram->isEnabled());
    EXPECT_FALSE(f.window.menuLoadGX510->isEnabled());
    EXPECT_TRUE(f.window.CommandMonitor->isEnabled()) << "monitoring still works";
    EXPECT_TRUE(f.port.portOpen());
}

TEST(FirstStart, EveryProgramPageShowsWholeOnALaptopScreen)
{
    ShellFixture f;
    f.start();
    const QSize first = f.window.firstStartSize();
    EXPECT_LE(first.width(), 1366);
    EXPECT_LE(first.height(), 768 - 40) << "room for a panel on a 1366 x 768 screen";
    const QSize room = first.boundedTo(f.window.screen()->availableGeometry().size());
    EXPECT_GE(f.window.width(), room.width()) << "the first window takes that size where the screen allows";
    EXPECT_GE(f.window.height(), room.height());
    f.window.resize(first);
    f.window.show();
    f.window.CommandProgram->click();
    for (int tab = 0; tab < f.window.TabStrip1->count(); ++tab) {
        f.window.TabStrip1->setCurrentIndex(tab);
        QCoreApplication::processEvents();
        for (QScrollArea* area : f.window.findChildren<QScrollArea*>()) {
            if (!area->isVisible())
                continue;
            EXPECT_FALSE(area->horizontalScrollBar()->isVisible()) << qPrintable(f.window.TabStrip1->tabText(tab));
            EXPECT_FALSE(area->verticalScrollBar()->isVisible()) << qPrintable(f.window.TabStrip1->tabText(tab));
        }
    }
}
