#include "editorfixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScrollArea>
#include <QFontInfo>
#include <QPixmap>

using namespace gx;

namespace {

struct PageColumns {
    int page;
    std::vector<std::vector<std::pair<const char*, const char*>>> columns;  // objectName, text
};

// Every label of the editor, page by page and column by column, top to bottom.
const std::vector<PageColumns>& pageTable()
{
    static const std::vector<PageColumns> table{
        {7, {{{"LabelNotes", "Profile Notes (1024 characters max):"}, {"LabelRemainingCaption", "Characters remaining:"}}}},
        {8,
         {{{"LabelTimer(0)", "Start Delay:"}, {"LabelSysval(9)", "Start Attempts:"}, {"LabelTimer(1)", "Preheat delay:"},
           {"LabelTimer(2)", "Crank time:"}, {"LabelTimer(3)", "Crank Rest time:"}, {"LabelTimer(4)", "Override time:"},
           {"LabelTimer(8)", "Speed Signal delay:"}},
          {{"LabelTimer(5)", "Warmup delay:"}, {"LabelTimer(6)", "Restoration period:"},
           {"LabelTimer(7)", "Engine cool period:"}, {"LabelTimer(9)", "Energise to Stop:"}, {"LabelSW(7)", "Hours-Run:"},
           {"LabelSysval(27)", "Remote-Test time:"}},
          {{"LabelATSTimers", "ATS timers:"}, {"LabelSysval(14)", "Mains fail delay:"},
           {"LabelTimer(13)", "Contactor delay:"}}}},
        {5,
         {{{"LabelSW(9)", "AC Frequency sense:"}, {"LabelSysval(4)", "Crank disconnect:"},
           {"LabelSysval(6)", "Under Frequency:"}, {"LabelSysval(5)", "Over Frequency:"}, {"LabelSW(14)", "Over HZ:"},
           {"LabelSysval(25)", "Over Speed/Freq Override:"}},
          {{"LabelSW(8)", "Magnetic Pickup:"}, {"LabelSysval(0)", "Flywheel teeth:"},
           {"LabelSysval(1)", "Crank disconnect:"}, {"LabelSysval(2)", "Over Speed:"}, {"LabelSysval(3)", "Under Speed:"},
           {"LabelSW(11)", "Under speed/Freq action:"}}}},
        {2,
         {{{"LabelSysval(26)", "Generator phases:"}, {"LabelSW(13)", "Voltage measurement:"},
           {"LabelSysval(10)", "Generator under Voltage:"}, {"LabelSysval(11)", "Generator voltage OK:"},
           {"LabelSW(1)", "Gen under-volts action:"}, {"LabelSysval(24)", "Generator over voltage:"}},
          {{"LabelSysval(12)", "CT ratio:"}, {"LabelSysval(13)", "Full-load current:"},
           {"LabelSysval(17)", "Instant trip:"}, {"LabelSysval(16)", "IDMT time constant:"},
           {"LabelSW(10)", "Over current action:"}}}},
        {3,
         {{{"LabelSysval(8)", "Battery under voltage:"}, {"LabelSysval(7)", "Battery over voltage:"},
           {"LabelSW(2)", "Charge-fail source:"}, {"LabelSW(6)", "WL crank cut:"},
           {"LabelSysval(15)", "Charge-start voltage:"}, {"LabelSysval(22)", "Charge-start period:"}}}},
        {4,
         {{{"LabelSW(32)", "Sender type:"}, {"LabelSW(3)", "Units:"}, {"LabelSysval(18)", "Warning level:"},
           {"LabelSysval(19)", "Shutdown level:"}, {"LabelSW(33)", "Sender type:"}, {"LabelSW(4)", "Units:"},
           {"LabelSysval(20)", "Warning level:"}, {"LabelSysval(21)", "Shutdown level:"}},
          {{"LabelSW(16)", "Programmable input 3:"}, {"LabelSW(20)", "Polarity:"}, {"LabelMessage(0)", "Input 3 message:"},
           {"LabelSW(17)", "Programmable input 4:"}, {"LabelSW(21)", "Polarity:"}, {"LabelMessage(1)", "Input 4 message:"},
           {"LabelSW(18)", "Programmable input 5:"}, {"LabelSW(22)", "Polarity:"}, {"LabelMessage(2)", "Input 5 message:"},
           {"LabelSW(5)", "Remote-Start polarity:"}}}},
        {1,
         {{{"LabelSW(24)", "Programmable output 1:"}, {"LabelSW(25)", "Programmable output 2:"},
           {"LabelSW(26)", "Programmable output 3:"}, {"LabelSW(27)", "Programmable output 4:"}}}},
        {6,
         {{{"LabelPIN(0)", "Switch-on PIN:"}, {"LabelPIN(1)", "Program mode PIN:"}, {"LabelPIN(2)", "Remote log-on PIN:"},
           {"LabelPIN(3)", "Mode-change PIN:"}, {"LabelSW(12)", "Switch-off delay:"}, {"LabelSW(0)", "Load in MANual:"}},
          {{"LabelMessage(5)", "Power-up message:"}, {"LabelMessage(3)", "Site name:"},
           {"LabelSW(19)", "Phone-out condition:"}, {"LabelMessage(4)", "Phone-out number:"},
           {"LabelSysval(23)", "RS485 address:"}}}},
    };
    return table;
}

const std::vector<std::pair<int, const char*>> unitLabels{
    {27, "mins"}, {14, "Secs"}, {4, "Hz"},  {6, "Hz"},    {5, "Hz"},      {25, "%"},   {1, "rpm"},
    {2, "rpm"},   {3, "rpm"},   {10, "V"},  {11, "V"},    {24, "V"},      {12, ": 5A"}, {13, "A"},
    {17, " X FLC"}, {8, "V"},   {7, "V"},   {15, "V"},    {22, "Mins"}};

// The control a label belongs to, e.g. "LabelSysval(9)" -> "HScrollSysval(9)".
QString controlOf(const QString& label)
{
    static const std::vector<std::pair<QString, QString>> families{{"LabelTimer(", "HScrollTimer("},
                                                                  {"LabelSysval(", "HScrollSysval("},
                                                                  {"LabelSW(", "ComboSW("},
                                                                  {"LabelMessage(", "TextMessage("},
                                                                  {"LabelPIN(", "TextPIN("}};
    for (const auto& [prefix, control] : families)
        if (label.startsWith(prefix))
            return control + label.mid(prefix.size());
    return QString();
}

} // namespace

// The pages as the program shows them: with the shipped limits (their long
// option labels included), 900 x 600 pixels each.
class EditorLayoutTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        QFile f(QStringLiteral(GX_SOURCE_DIR) + "/data/limits.txt");
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QString error;
        const auto limits = readProgramLimits(f.readAll(), f.fileName(), &error);
        ASSERT_TRUE(limits.has_value()) << qPrintable(error);
        editor->applyLimits(*limits);
        for (int i = 1; i < 9; ++i) {
            frames[i]->resize(900, 600);
            frames[i]->show();
        }
        QApplication::processEvents();
    }
};

TEST_F(EditorLayoutTest, EveryLabelSitsOnItsPageBesideItsControl)
{
    int labels = 0;
    for (const PageColumns& p : pageTable()) {
        for (const auto& column : p.columns) {
            for (const auto& [name, text] : column) {
                auto* label = frames[p.page]->findChild<QLabel*>(name);
                ASSERT_NE(label, nullptr) << name << " on page " << p.page;
                EXPECT_EQ(label->text(), QString(text)) << name;
                const QString control = controlOf(name);
                if (!control.isEmpty()) {
                    EXPECT_EQ(pageOf(control), p.page) << qPrintable(control);
                }
                ++labels;
            }
        }
    }
    EXPECT_EQ(labels, 80);
    for (const auto& [slot, unit] : unitLabels) {
        auto* label = child<QLabel>(QString("LabelSysvalUnit(%1)").arg(slot));
        ASSERT_NE(label, nullptr) << slot;
        EXPECT_EQ(label->text(), QString(unit)) << slot;
        EXPECT_EQ(pageOf(label->objectName()), pageOf(QString("LabelSysval(%1)").arg(slot)));
    }
    int units = 0;
    for (int i = 1; i < 9; ++i)
        for (QLabel* l : frames[i]->findChildren<QLabel*>())
            units += l->objectName().startsWith("LabelSysvalUnit(") ? 1 : 0;
    EXPECT_EQ(units, int(unitLabels.size()));
    EXPECT_EQ(child<QGroupBox>("FrameInput(1)")->title(), QString("Input 1 Oil-pressure"));
    EXPECT_EQ(child<QGroupBox>("FrameInput(2)")->title(), QString("Input 2 Engine temperature"));
    EXPECT_EQ(child<QLabel>("LabelRemaining")->text(), QString("----"));
    // The oil-pressure settings are in the oil-pressure box.
    EXPECT_NE(child<QGroupBox>("FrameInput(1)")->findChild<QScrollBar*>("HScrollSysval(19)"), nullptr);
    EXPECT_NE(child<QGroupBox>("FrameInput(2)")->findChild<QComboBox*>("ComboSW(4)"), nullptr);
}

TEST_F(EditorLayoutTest, ColumnsRunLeftToRightAndTopToBottom)
{
    for (const PageColumns& p : pageTable()) {
        int previousColumnX = -1;
        for (const auto& column : p.columns) {
            int previousY = -1;
            int columnX = -1;
            for (const auto& [name, text] : column) {
                const QWidget* label = frames[p.page]->findChild<QLabel*>(name);
                ASSERT_NE(label, nullptr) << name;
                const QPoint at = label->mapTo(frames[p.page].get(), QPoint(0, 0));
                EXPECT_GT(at.y(), previousY) << name;
                EXPECT_GT(at.x(), previousColumnX) << name;
                previousY = at.y();
                columnX = std::max(columnX, at.x());
            }
            previousColumnX = columnX;
        }
    }
}

TEST_F(EditorLayoutTest, EverythingFitsOnA900By600Page)
{
    for (int i = 1; i < 9; ++i) {
        ASSERT_EQ(frames[i]->size(), QSize(900, 600)) << "page " << i;
        for (QScrollArea* area : frames[i]->findChildren<QScrollArea*>()) {
            EXPECT_FALSE(area->horizontalScrollBar()->isVisible()) << "page " << i << " scrolls";
            EXPECT_FALSE(area->verticalScrollBar()->isVisible()) << "page " << i << " scrolls";
        }
        const QRect page = frames[i]->rect();
        for (QWidget* w : frames[i]->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(frames[i].get()) || w->objectName().isEmpty() || w->objectName().startsWith("qt_"))
                continue;
            const QRect r(w->mapTo(frames[i].get(), QPoint(0, 0)), w->size());
            EXPECT_TRUE(page.contains(r)) << qPrintable(w->objectName()) << " on page " << i;
            if (auto* label = qobject_cast<QLabel*>(w)) {
                EXPECT_GE(label->width(), label->sizeHint().width()) << qPrintable(label->objectName()) << " is cut";
            }
        }
    }
    // The value boxes are wide enough for the longest duration text.
    auto* timer = child<QLineEdit>("TextTimer(7)");
    EXPECT_GE(timer->width(), QFontMetrics(timer->font()).horizontalAdvance(" 10:00:00"));

    const QString shots = qEnvironmentVariable("GX_SHOTS_DIR");
    if (!shots.isEmpty()) {
        QDir().mkpath(shots);
        const QStringList captions = ProfileEditor::tabCaptions();
        for (const QString& caption : captions) {
            const int page = ProfileEditor::pageOfTab(caption);
            const QString file = QString("%1/page%2-%3.png").arg(shots).arg(page).arg(QString(caption).replace(' ', '_'));
            EXPECT_TRUE(frames[page]->grab().save(file)) << qPrintable(file);
        }
    }
}

TEST_F(EditorLayoutTest, MessagesAndPinsUseAFixedPitchFont)
{
    for (const char* name : {"TextMessage(0)", "TextMessage(5)", "TextPIN(0)", "TextPIN(3)"}) {
        auto* box = child<QLineEdit>(name);
        EXPECT_TRUE(QFontInfo(box->font()).fixedPitch()) << name << " " << qPrintable(QFontInfo(box->font()).family());
    }
    auto* site = child<QLineEdit>("TextMessage(3)");
    EXPECT_GE(site->width(), QFontMetrics(site->font()).horizontalAdvance(QString(16, 'W')));
}
