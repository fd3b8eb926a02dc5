// The printed profile: the shipped print_data.txt, the lines of both pages
// and a short print_data.txt.

#include "profile/printout.h"

#include "editorfixture.h"
#include "platform/printer.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace gx;

namespace {

PrintData shippedPrintData()
{
    QFile f(QStringLiteral(GX_SOURCE_DIR) + "/data/print_data.txt");
    QString error;
    const auto d = f.open(QIODevice::ReadOnly) ? readPrintData(f.readAll(), f.fileName(), &error) : std::nullopt;
    EXPECT_TRUE(d.has_value()) << qPrintable(error);
    return d.value_or(PrintData{});
}

} // namespace

TEST(Printout, PagesHoldEveryPrintedSettingInItsColumns)
{
    const PrintData data = shippedPrintData();
    Profile p;
    p.TimerValue[2] = 65;
    p.SysValue[17] = 25;
    p.SysValue[1] = 500;
    p.SysValue[14] = 99;  // not printed
    p.SwSwitch[24] = 2;
    p.MessageText[3] = "Pump house      ";
    p.PINtext[0] = "0042";
    const PrintDocument doc = profilePrintout(p, editorTestLimits(), data, QDateTime({2026, 3, 4}, {17, 5, 9}));
    ASSERT_EQ(doc.pages.size(), 2);
    EXPECT_EQ(doc.fontFamily, "Arial");
    EXPECT_EQ(doc.pointSize, 10);
    const QStringList lines = doc.lines();
    const QString heading = "GX510-520 Profile.  Date: 03-04-2026  Time: 17:05:09";
    EXPECT_EQ(lines.count(heading), 2);
    EXPECT_EQ(lines.mid(0, 4), (QStringList{heading, "", "", "TIMERS"}));

    const QStringList expected = {
        QString("Crank time:").leftJustified(35) + "00:01:05  longest single crank",
        (QString("Crank disconnect speed:").leftJustified(34) + " 500").leftJustified(45) + "rpm",
        (QString("Instant trip:").leftJustified(34) + " 2.5").leftJustified(45) + "x FLC",
        QString("Programmable output 1:").leftJustified(35) + "Opt 2",
        QString("Site name:").leftJustified(35) + "\"Pump house      \"",
        QString("Switch-on PIN:").leftJustified(35) + "0042",
    };
    for (const QString& e : expected)
        EXPECT_TRUE(lines.contains(e)) << qPrintable(e);
    EXPECT_FALSE(lines.join('\n').contains("Mains fail delay:"));
    EXPECT_FALSE(lines.join('\n').contains("(not used"));
    // 10 timers, 24 system values and 28 selectors on page 1; notes last on page 2.
    EXPECT_EQ(doc.pages[0].size(), 3 + 1 + 10 + 2 + 24 + 2 + 28);
    EXPECT_EQ(lines.mid(lines.size() - 3), (QStringList{"", "Profile notes:", ""}));

    // On paper each piece has its own column.
    const PrintLine& crank = doc.pages[0][4 + 2];
    ASSERT_EQ(crank.pieces.size(), 2);
    EXPECT_EQ(crank.pieces[1].column, 35);
}

TEST(Printout, AShortPrintDataFileNamesTheFieldThatIsMissing)
{
    QString error;
    EXPECT_FALSE(readPrintData("TIMERS\r\nStart Delay:,comment\r\n", "/opt/gx/print_data.txt", &error));
    EXPECT_EQ(error.toStdString(), "/opt/gx/print_data.txt, line 3: the file ends where the title of timer 1 was expected.");
}

namespace {

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(20000)) << qPrintable(program) << " (poppler-utils) runs";
    return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList nonEmptyLines(const QString& text)
{
    QStringList out;
    for (const QString& l : text.split('\n'))
        if (!l.simplified().isEmpty())
            out << l.simplified();
    return out;
}

} // namespace

TEST(Printout, theProfileFillsTwoPagesOfPaperOnA4AndOnLetter)
{
    Profile p;
    p.Notes = "Serviced in March\r\nNew battery fitted\r\nNext visit in September";
    const PrintDocument doc = profilePrintout(p, editorTestLimits(), shippedPrintData(), QDateTime({2026, 3, 4}, {17, 5, 9}));
    const QString lastOfFirst = doc.pages[0].last().text().simplified();
    QTemporaryDir dir;
    for (const auto& [size, name] : {std::pair{QPageSize::A4, "A4"}, std::pair{QPageSize::Letter, "Letter"}}) {
        SCOPED_TRACE(name);
        const QString path = dir.filePath(QString::fromLatin1(name) + ".pdf");
        QString error;
        ASSERT_TRUE(writePdf(doc, path, &error, printPageLayout(size))) << qPrintable(error);
        const QString info = run("pdfinfo", {path});
        EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+2\\n"))) << qPrintable(info);
        EXPECT_TRUE(info.contains(size == QPageSize::A4 ? "595 x 842 pts (A4)" : "612 x 792 pts (letter)")) << qPrintable(info);
        // The page break falls after the last selector, and the second page
        // starts with its own heading.
        const QStringList first = nonEmptyLines(run("pdftotext", {"-layout", "-f", "1", "-l", "1", path, "-"}));
        const QStringList second = nonEmptyLines(run("pdftotext", {"-layout", "-f", "2", "-l", "2", path, "-"}));
        ASSERT_FALSE(first.isEmpty());
        ASSERT_FALSE(second.isEmpty());
        EXPECT_EQ(first.size(), 70 - 2 - 2);  // 70 lines, four of them empty
        EXPECT_EQ(first.last(), lastOfFirst);
        EXPECT_EQ(second.first(), "GX510-520 Profile. Date: 03-04-2026 Time: 17:05:09");
        EXPECT_EQ(second.last(), "Next visit in September");
    }
}
