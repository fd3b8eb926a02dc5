#include "editorfixture.h"

#include <QApplication>
#include <QFontInfo>

using namespace gx;

namespace {

// A few labels of each page, in one column from top to bottom.
const struct {
    int page;
    std::vector<std::pair<const char*, const char*>> labels;  // objectName, text
} Pages[] = {
    {7, {{"LabelNotes", "Profile Notes (1024 characters max):"}, {"LabelRemainingCaption", "Characters remaining:"}}},
    {8, {{"LabelTimer(0)", "Start Delay:"}, {"LabelSysval(9)", "Start Attempts:"}, {"LabelTimer(8)", "Speed Signal delay:"}}},
    {5, {{"LabelSW(9)", "AC Frequency sense:"}, {"LabelSysval(4)", "Crank disconnect:"}, {"LabelSysval(25)", "Over Speed/Freq Override:"}}},
    {2, {{"LabelSysval(26)", "Generator phases:"}, {"LabelSW(13)", "Voltage measurement:"}, {"LabelSysval(24)", "Generator over voltage:"}}},
    {3, {{"LabelSysval(8)", "Battery under voltage:"}, {"LabelSW(6)", "WL crank cut:"}, {"LabelSysval(22)", "Charge-start period:"}}},
    {4, {{"LabelSW(32)", "Sender type:"}, {"LabelSysval(19)", "Shutdown level:"}, {"LabelSW(33)", "Sender type:"}, {"LabelSysval(21)", "Shutdown level:"}}},
    {1, {{"LabelSW(24)", "Programmable output 1:"}, {"LabelSW(27)", "Programmable output 4:"}}},
    {6, {{"LabelPIN(0)", "Switch-on PIN:"}, {"LabelPIN(3)", "Mode-change PIN:"}, {"LabelSW(0)", "Load in MANual:"}}},
};

} // namespace

// The pages as the program shows them: with the shipped limits (their long
// option labels included), 900 x 600 pixels each.
class EditorLayoutTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        const auto limits = shippedLimits();
        ASSERT_TRUE(limits.has_value());
        editor->applyLimits(*limits);
        for (int i = 1; i < 9; ++i) {
            frames[i]->resize(900, 600);
            frames[i]->show();
        }
        QApplication::processEvents();
    }
};

TEST_F(EditorLayoutTest, LabelsSitOnTheirPagesInOrderBesideTheirControls)
{
    for (const auto& p : Pages) {
        int previousY = -1;
        for (const auto& [name, text] : p.labels) {
            auto* label = frames[p.page]->findChild<QLabel*>(name);
            ASSERT_NE(label, nullptr) << name << " on page " << p.page;
            EXPECT_EQ(label->text(), QString(text)) << name;
            const int y = label->mapTo(frames[p.page].get(), QPoint(0, 0)).y();
            EXPECT_GT(y, previousY) << name;
            previousY = y;
            if (const QString slot = QString(name).mid(5); slot.contains('(')) {  // its control: same page
                EXPECT_TRUE(p.page == pageOf("HScroll" + slot) || p.page == pageOf("Combo" + slot) ||
                            p.page == pageOf("Text" + slot)) << name;
            }
        }
    }
    int labels = 0, units = 0;  // of the numbered settings
    for (int i = 1; i < 9; ++i)
        for (QLabel* l : frames[i]->findChildren<QLabel*>())
            (l->objectName().startsWith("LabelSysvalUnit(") ? units : labels) += l->objectName().contains('(');
    EXPECT_EQ(labels, 77);
    EXPECT_EQ(units, 19);
    EXPECT_EQ(child<QLabel>("LabelSysvalUnit(17)")->text(), QString(" X FLC"));
    EXPECT_EQ(pageOf("LabelSysvalUnit(17)"), 2);
    // The sender settings sit in their input's box.
    EXPECT_EQ(child<QGroupBox>("FrameInput(1)")->title(), QString("Input 1 Oil-pressure"));
    EXPECT_NE(child<QGroupBox>("FrameInput(1)")->findChild<QScrollBar*>("HScrollSysval(19)"), nullptr);
    EXPECT_NE(child<QGroupBox>("FrameInput(2)")->findChild<QComboBox*>("ComboSW(4)"), nullptr);

    const QStringList captions = ProfileEditor::tabCaptions() + QStringList{"timers"};
    QList<int> tabPages;
    for (const QString& caption : captions)
        tabPages << ProfileEditor::pageOfTab(caption);
    EXPECT_EQ(tabPages, (QList<int>{7, 8, 5, 2, 3, 4, 1, 6, -1}));
}

TEST_F(EditorLayoutTest, NoLabelIsCutAndTheTextBoxesHoldTheirTextInReadableFonts)
{
    for (int i = 1; i < 9; ++i)
        for (QLabel* label : frames[i]->findChildren<QLabel*>())
            if (label->isVisibleTo(frames[i].get()) && !label->objectName().isEmpty()) {
                EXPECT_GE(label->width(), label->sizeHint().width()) << qPrintable(label->objectName()) << " is cut";
            }
    auto* timer = child<QLineEdit>("TextTimer(7)");
    EXPECT_GE(timer->width(), QFontMetrics(timer->font()).horizontalAdvance(" 10:00:00"));
    for (const char* name : {"TextMessage(0)", "TextMessage(5)", "TextPIN(0)", "TextPIN(3)"})
        EXPECT_TRUE(QFontInfo(child<QLineEdit>(name)->font()).fixedPitch()) << name;
    auto* site = child<QLineEdit>("TextMessage(3)");
    EXPECT_GE(site->width(), QFontMetrics(site->font()).horizontalAdvance(QString(16, 'W')));
}
