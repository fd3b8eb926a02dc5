#include "editorfixture.h"

#include <QTest>

using namespace gx;

namespace {

QString id(const char* name, int i)
{
    return QString("%1(%2)").arg(name).arg(i);
}

} // namespace

// --- Start-up values from the limits ---------------------------------------

TEST_F(EditorTest, LimitsGiveRangesStepsAndDefaults)
{
    auto* timer0 = child<QScrollBar>("HScrollTimer(0)");
    EXPECT_EQ(timer0->minimum(), 0);
    EXPECT_EQ(timer0->maximum(), 100);  // 1000 tenths
    EXPECT_EQ(timer0->value(), 2);      // 25 tenths, rounded down
    EXPECT_EQ(timer0->singleStep(), 1);
    EXPECT_EQ(timer0->pageStep(), 10);
    EXPECT_EQ(child<QLineEdit>("TextTimer(0)")->text(), QString(" 0:00:02"));
    EXPECT_TRUE(child<QLineEdit>("TextTimer(0)")->isReadOnly());
    EXPECT_EQ(child<QLineEdit>("TextTimer(13)")->text(), QString(" 0:00:10"));

    auto* attempts = child<QScrollBar>("HScrollSysval(9)");
    EXPECT_EQ(attempts->minimum(), 1);
    EXPECT_EQ(attempts->maximum(), 10);
    EXPECT_EQ(attempts->value(), 3);
    EXPECT_EQ(child<QLineEdit>("TextSysval(9)")->text(), QString("3"));
    EXPECT_EQ(child<QLineEdit>("TextSysval(17)")->text(), QString("2.5"));

    EXPECT_EQ(child<QComboBox>("ComboSW(16)")->count(), 16);
    EXPECT_EQ(child<QComboBox>("ComboSW(16)")->itemText(2), QString("Shutdown:Not overridden"));
    EXPECT_EQ(child<QComboBox>("ComboSW(32)")->currentIndex(), 2);
    EXPECT_EQ(child<QComboBox>("ComboSW(27)")->currentIndex(), 0);

    EXPECT_EQ(child<QLineEdit>("TextMessage(3)")->text(), QString("Message 3       "));
    EXPECT_EQ(child<QLineEdit>("TextMessage(3)")->maxLength(), 16);
    EXPECT_EQ(child<QLineEdit>("TextPIN(2)")->text(), QString("0000"));
    EXPECT_EQ(child<QLineEdit>("TextPIN(2)")->maxLength(), 4);
}

TEST_F(EditorTest, StartUpValuesAreTheWorkingProfile)
{
    const Profile p = editor->workingProfile();
    EXPECT_EQ(p.TimerValue[0], 2);
    EXPECT_EQ(p.TimerValue[13], 10);
    EXPECT_EQ(p.TimerValue[10], 20);  // not edited: fixed value
    EXPECT_EQ(p.SysValue[17], 25);
    EXPECT_EQ(p.SysValue[28], 0);
    EXPECT_EQ(p.SwSwitch[15], 0);
    EXPECT_EQ(p.AlogSensor[0], 2);
    EXPECT_EQ(p.AlogSensor[1], 2);
    EXPECT_EQ(p.AlogSensor[2], 0);
    EXPECT_EQ(p.MessageText[0], QString("Message 0       "));
    EXPECT_EQ(p.MessageText[6], QString(16, ' '));
    EXPECT_EQ(p.PINtext[0], QString("0000"));
    EXPECT_TRUE(p.Notes.isEmpty());
}

// --- Dependencies between settings -----------------------------------------

TEST_F(EditorTest, OneStartAttemptGreysOutCrankRest)
{
    auto* attempts = child<QScrollBar>("HScrollSysval(9)");
    attempts->setValue(1);
    for (const char* name : {"TextTimer(3)", "HScrollTimer(3)", "LabelTimer(3)"})
        EXPECT_FALSE(widget(name)->isEnabled()) << name;
    attempts->setValue(2);
    for (const char* name : {"TextTimer(3)", "HScrollTimer(3)", "LabelTimer(3)"})
        EXPECT_TRUE(widget(name)->isEnabled()) << name;
}

TEST_F(EditorTest, FrequencySenseOffGreysFrequencyAndGeneratorSetup2)
{
    child<QComboBox>("ComboSW(9)")->setCurrentIndex(1);
    for (int s : {4, 5, 6})
        for (const char* f : {"TextSysval", "HScrollSysval", "LabelSysval", "LabelSysvalUnit"})
            EXPECT_FALSE(widget(id(f, s))->isEnabled()) << f << s;
    // Every control and label of the "Generator setup (2)" page.
    const auto onPage2 = frames[2]->findChildren<QWidget*>();
    int checked = 0;
    for (QWidget* w : onPage2) {
        if (w->objectName().isEmpty() || !w->objectName().contains('('))
            continue;
        EXPECT_FALSE(w->isEnabled()) << qPrintable(w->objectName());
        ++checked;
    }
    EXPECT_GE(checked, 8 * 3 + 3 * 2 + 6);
    // The speed settings are not affected.
    EXPECT_TRUE(widget("HScrollSysval(0)")->isEnabled());

    child<QComboBox>("ComboSW(9)")->setCurrentIndex(2);
    for (QWidget* w : onPage2)
        EXPECT_TRUE(w->isEnabled()) << qPrintable(w->objectName());
    EXPECT_TRUE(widget("LabelSysvalUnit(4)")->isEnabled());
}

TEST_F(EditorTest, NoMagneticPickupGreysTheSpeedSettings)
{
    child<QComboBox>("ComboSW(8)")->setCurrentIndex(1);
    for (int s : {0, 1, 2, 3})
        for (const char* f : {"TextSysval", "HScrollSysval", "LabelSysval"})
            EXPECT_FALSE(widget(id(f, s))->isEnabled()) << f << s;
    for (int s : {1, 2, 3})
        EXPECT_FALSE(widget(id("LabelSysvalUnit", s))->isEnabled()) << s;
    EXPECT_TRUE(widget("HScrollSysval(4)")->isEnabled());
    // Only one of the two sensing methods is off: the override stays.
    EXPECT_TRUE(widget("HScrollSysval(25)")->isEnabled());
    child<QComboBox>("ComboSW(8)")->setCurrentIndex(0);
    EXPECT_TRUE(widget("LabelSysval(1)")->isEnabled());
}

TEST_F(EditorTest, OverrideNeedsSpeedOrFrequencySensing)
{
    const QStringList overrideSet{"TextSysval(25)", "HScrollSysval(25)", "LabelSysval(25)", "LabelSysvalUnit(25)",
                                  "ComboSW(11)", "LabelSW(11)"};
    auto greyed = [&] {
        int n = 0;
        for (const QString& name : overrideSet)
            n += widget(name)->isEnabled() ? 0 : 1;
        return n;
    };
    child<QComboBox>("ComboSW(8)")->setCurrentIndex(1);
    EXPECT_EQ(greyed(), 0);
    child<QComboBox>("ComboSW(9)")->setCurrentIndex(1);
    EXPECT_EQ(greyed(), overrideSet.size());
    // Changing an unrelated selector keeps the state.
    child<QComboBox>("ComboSW(0)")->setCurrentIndex(2);
    EXPECT_EQ(greyed(), overrideSet.size());
    child<QComboBox>("ComboSW(8)")->setCurrentIndex(0);
    EXPECT_EQ(greyed(), 0);
    child<QComboBox>("ComboSW(8)")->setCurrentIndex(1);
    child<QComboBox>("ComboSW(9)")->setCurrentIndex(2);
    EXPECT_EQ(greyed(), 0);
}

TEST_F(EditorTest, SenderTypesWithoutASenderGreyUnitsAndLevels)
{
    struct Box {
        int sender, units, warning, shutdown;
    };
    for (const Box b : {Box{32, 3, 18, 19}, Box{33, 4, 20, 21}}) {
        const QStringList set{id("ComboSW", b.units), id("LabelSW", b.units), id("TextSysval", b.warning),
                              id("HScrollSysval", b.warning), id("LabelSysval", b.warning),
                              id("TextSysval", b.shutdown), id("HScrollSysval", b.shutdown),
                              id("LabelSysval", b.shutdown)};
        auto* sender = child<QComboBox>(id("ComboSW", b.sender));
        for (int option : {0, 1, -1, 2, 3}) {
            sender->setCurrentIndex(option);
            for (const QString& name : set)
                EXPECT_EQ(widget(name)->isEnabled(), option >= 2) << qPrintable(name) << " option " << option;
        }
        // The sender type itself stays usable.
        EXPECT_TRUE(sender->isEnabled());
    }
}

TEST_F(EditorTest, ProgrammableInputsDecideMessageAndPolarity)
{
    for (int k = 0; k < 3; ++k) {
        auto* input = child<QComboBox>(id("ComboSW", 16 + k));
        auto message = [&] { return widget(id("TextMessage", k))->isEnabled(); };
        auto messageLabel = [&] { return widget(id("LabelMessage", k))->isEnabled(); };
        auto polarity = [&] { return widget(id("ComboSW", 20 + k))->isEnabled(); };
        auto polarityLabel = [&] { return widget(id("LabelSW", 20 + k))->isEnabled(); };

        input->setCurrentIndex(3);
        EXPECT_TRUE(message() && messageLabel() && polarity() && polarityLabel()) << k;
        input->setCurrentIndex(0);
        EXPECT_FALSE(message() || messageLabel() || polarity() || polarityLabel()) << k;
        input->setCurrentIndex(7);
        EXPECT_TRUE(message() && messageLabel() && polarity() && polarityLabel()) << k;
        input->setCurrentIndex(9);
        EXPECT_FALSE(message() || messageLabel()) << k;
        EXPECT_TRUE(polarity() && polarityLabel()) << k;
        input->setCurrentIndex(8);
        EXPECT_FALSE(message()) << k;
        EXPECT_TRUE(polarity()) << k;
        input->setCurrentIndex(-1);
        EXPECT_FALSE(message()) << k;
        EXPECT_TRUE(polarity()) << k;
    }
    // Each input governs only its own message.
    child<QComboBox>("ComboSW(16)")->setCurrentIndex(0);
    child<QComboBox>("ComboSW(17)")->setCurrentIndex(1);
    EXPECT_FALSE(widget("TextMessage(0)")->isEnabled());
    EXPECT_TRUE(widget("TextMessage(1)")->isEnabled());
}

TEST_F(EditorTest, StartUpGreysFollowTheDefaults)
{
    // All three inputs default to option 0, so their messages and polarities start greyed.
    for (int k = 0; k < 3; ++k) {
        EXPECT_FALSE(widget(id("TextMessage", k))->isEnabled()) << k;
        EXPECT_FALSE(widget(id("ComboSW", 20 + k))->isEnabled()) << k;
    }
    EXPECT_FALSE(widget("TextMessage(4)")->isEnabled());  // phone-out option 0
    EXPECT_FALSE(widget("ComboSW(6)")->isEnabled());      // charge-fail option 0
    EXPECT_TRUE(widget("ComboSW(3)")->isEnabled());       // a sender is fitted
}

TEST_F(EditorTest, WLCrankCutOnlyWithChargeFailOption1)
{
    auto* source = child<QComboBox>("ComboSW(2)");
    for (int option : {1, 0, 2, -1, 1}) {
        source->setCurrentIndex(option);
        EXPECT_EQ(widget("ComboSW(6)")->isEnabled(), option == 1) << option;
        EXPECT_EQ(widget("LabelSW(6)")->isEnabled(), option == 1) << option;
    }
}

TEST_F(EditorTest, PhoneOutNumberOnlyWhenPhoningOut)
{
    auto* condition = child<QComboBox>("ComboSW(19)");
    for (int option : {1, 0, 2, -1}) {
        condition->setCurrentIndex(option);
        EXPECT_EQ(widget("TextMessage(4)")->isEnabled(), option != 0) << option;
        EXPECT_EQ(widget("LabelMessage(4)")->isEnabled(), option != 0) << option;
    }
}

// --- Value texts -------------------------------------------------------------

TEST_F(EditorTest, PressureShowsInBarForUnitsOption0)
{
    auto* units = child<QComboBox>("ComboSW(3)");
    units->setCurrentIndex(0);
    editor->setSysValue(18, 100);
    editor->setSysValue(19, 145);
    EXPECT_EQ(child<QLineEdit>("TextSysval(18)")->text(), QString("6.8"));
    EXPECT_EQ(child<QLineEdit>("TextSysval(19)")->text(), QString("10"));
    // Changing the units refreshes the texts without touching the values.
    units->setCurrentIndex(1);
    EXPECT_EQ(child<QLineEdit>("TextSysval(18)")->text(), QString("100"));
    EXPECT_EQ(child<QLineEdit>("TextSysval(19)")->text(), QString("145"));
    EXPECT_EQ(editor->workingProfile().SysValue[18], 100);
}

TEST_F(EditorTest, TemperatureShowsInFahrenheitForUnitsOption0)
{
    auto* units = child<QComboBox>("ComboSW(4)");
    units->setCurrentIndex(0);
    editor->setSysValue(20, 100);
    editor->setSysValue(21, 0);
    EXPECT_EQ(child<QLineEdit>("TextSysval(20)")->text(), QString("212"));
    EXPECT_EQ(child<QLineEdit>("TextSysval(21)")->text(), QString("32"));
    units->setCurrentIndex(2);
    EXPECT_EQ(child<QLineEdit>("TextSysval(20)")->text(), QString("100"));
    EXPECT_EQ(child<QLineEdit>("TextSysval(21)")->text(), QString("0"));
}

TEST_F(EditorTest, ScrollingUpdatesTheValueTexts)
{
    child<QScrollBar>("HScrollTimer(7)")->setValue(65);
    EXPECT_EQ(child<QLineEdit>("TextTimer(7)")->text(), QString(" 0:01:05"));
    child<QScrollBar>("HScrollSysval(17)")->setValue(20);
    EXPECT_EQ(child<QLineEdit>("TextSysval(17)")->text(), QString("2"));
    child<QScrollBar>("HScrollSysval(17)")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(child<QLineEdit>("TextSysval(17)")->text(), QString("2.1"));
    child<QScrollBar>("HScrollSysval(0)")->setValue(118);
    EXPECT_EQ(child<QLineEdit>("TextSysval(0)")->text(), QString("118"));
}

// --- ProfileChanged ----------------------------------------------------------

TEST_F(EditorTest, EveryEditSetsProfileChanged)
{
    auto expectChange = [&](const char* what, const std::function<void()>& edit) {
        profileChanged = false;
        edit();
        EXPECT_TRUE(profileChanged) << what;
    };
    expectChange("timer", [&] { child<QScrollBar>("HScrollTimer(2)")->setValue(7); });
    expectChange("timer back", [&] { child<QScrollBar>("HScrollTimer(2)")->setValue(10); });
    expectChange("value", [&] { child<QScrollBar>("HScrollSysval(26)")->triggerAction(QAbstractSlider::SliderPageStepAdd); });
    expectChange("selector", [&] { child<QComboBox>("ComboSW(24)")->setCurrentIndex(2); });
    expectChange("selector back", [&] { child<QComboBox>("ComboSW(24)")->setCurrentIndex(0); });
    editor->setMessageText(5, "Gen");
    editor->setPinText(1, "12");
    expectChange("message", [&] { QTest::keyClicks(child<QLineEdit>("TextMessage(5)"), "x"); });
    expectChange("message back", [&] { QTest::keyClick(child<QLineEdit>("TextMessage(5)"), Qt::Key_Backspace); });
    expectChange("PIN", [&] { QTest::keyClicks(child<QLineEdit>("TextPIN(1)"), "1"); });
    expectChange("notes", [&] { QTest::keyClicks(editor->textProfileNotes, "a"); });
}

TEST_F(EditorTest, AssignmentsRunTheRulesEvenWithoutAChange)
{
    auto* attempts = child<QScrollBar>("HScrollSysval(9)");
    // Grey the crank rest, then un-grey it behind the handler's back.
    editor->setSysValue(9, 1);
    widget("HScrollTimer(3)")->setEnabled(true);
    profileChanged = false;
    editor->setSysValue(9, 1);  // the same value again
    EXPECT_TRUE(profileChanged);
    EXPECT_FALSE(widget("HScrollTimer(3)")->isEnabled());
    EXPECT_EQ(attempts->value(), 1);

    profileChanged = false;
    editor->setSwitchOption(2, child<QComboBox>("ComboSW(2)")->currentIndex());
    EXPECT_TRUE(profileChanged);
    profileChanged = false;
    editor->setTimerValue(5, child<QScrollBar>("HScrollTimer(5)")->value());
    EXPECT_TRUE(profileChanged);
    profileChanged = false;
    editor->setMessageText(0, child<QLineEdit>("TextMessage(0)")->text());
    EXPECT_TRUE(profileChanged);
    profileChanged = false;
    editor->setPinText(0, "0000");
    EXPECT_TRUE(profileChanged);
    profileChanged = false;
    editor->setNotes(QString());
    EXPECT_TRUE(profileChanged);
}

TEST_F(EditorTest, EditsSignalOnceEach)
{
    int edits = 0;
    QObject::connect(editor.get(), &ProfileEditor::edited, [&] { ++edits; });
    editor->setTimerValue(1, 4);
    editor->setSwitchOption(7, 1);
    editor->setNotes("abc");
    child<QScrollBar>("HScrollTimer(1)")->setValue(5);
    EXPECT_EQ(edits, 4);
}

TEST_F(EditorTest, TheEditorCanKeepItsOwnFlag)
{
    std::array<std::unique_ptr<QWidget>, 9> own;
    std::array<QWidget*, 9> ownPages{};
    for (int i = 0; i < 9; ++i) {
        own[i] = std::make_unique<QWidget>();
        ownPages[i] = own[i].get();
    }
    ProfileEditor standalone(ownPages);
    standalone.setProfileChanged(false);
    standalone.setTimerValue(0, 1);
    EXPECT_TRUE(standalone.profileChanged());
    standalone.setProfileChanged(false);
    EXPECT_FALSE(standalone.profileChanged());
    EXPECT_EQ(own[0]->layout(), nullptr);  // the monitor page is left alone
}

// --- Notes -------------------------------------------------------------------

TEST_F(EditorTest, TypingInTheNotesStopsAt1024Characters)
{
    editor->setNotes(QString(1020, 'n'));
    EXPECT_EQ(editor->LabelRemaining->text(), QString("4"));
    editor->textProfileNotes->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor->textProfileNotes, "abcdefgh");
    EXPECT_EQ(editor->notes(), QString(1020, 'n') + "abcd");
    EXPECT_EQ(editor->LabelRemaining->text(), QString("0"));

    // A line break takes two characters (CR LF): it does not fit in one.
    editor->setNotes(QString(1023, 'n'));
    editor->textProfileNotes->moveCursor(QTextCursor::End);
    profileChanged = false;
    QTest::keyClick(editor->textProfileNotes, Qt::Key_Return);
    EXPECT_EQ(editor->notes().size(), 1023);
    EXPECT_FALSE(profileChanged);  // a refused key press is no edit
    QTest::keyClicks(editor->textProfileNotes, "z");
    EXPECT_EQ(editor->notes(), QString(1023, 'n') + "z");
}

TEST_F(EditorTest, NotesThatArriveLongerShowANegativeCount)
{
    editor->setNotes(QString(1030, 'x'));
    EXPECT_EQ(editor->notes().size(), 1030);
    EXPECT_EQ(editor->LabelRemaining->text(), QString("-6"));
    // Typing adds nothing more, deleting works.
    editor->textProfileNotes->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor->textProfileNotes, "y");
    EXPECT_EQ(editor->notes().size(), 1030);
    QTest::keyClick(editor->textProfileNotes, Qt::Key_Backspace);
    EXPECT_EQ(editor->LabelRemaining->text(), QString("-5"));
}

TEST_F(EditorTest, NotesKeepCrLfLineEnds)
{
    editor->setNotes("one\r\ntwo\nthree\r\n");
    EXPECT_EQ(editor->notes(), QString("one\r\ntwo\r\nthree\r\n"));
    EXPECT_EQ(editor->LabelRemaining->text(), QString::number(1024 - 17));
    EXPECT_EQ(editor->workingProfile().Notes, editor->notes());
}

// --- Uploaded profile --------------------------------------------------------

namespace {

Profile uploadedInRange()
{
    Profile p;
    for (int i = 0; i < 16; ++i)
        p.TimerValue[i] = 10 * i + 9;  // tenths
    for (int i = 0; i < 28; ++i)
        p.SysValue[i] = 20 + i;
    p.SysValue[9] = 4;
    p.SysValue[17] = 35;
    for (int i = 0; i < 32; ++i)
        p.SwSwitch[i] = i % 3;
    p.SwSwitch[16] = 12;
    p.AlogSensor[0] = 3;
    p.AlogSensor[1] = 1;
    p.MessageText[0] = "Low fuel        ";
    p.MessageText[3] = "Pump house 7    ";
    p.PINtext[0] = "0042";
    p.PINtext[1] = "9999";
    return p;
}

QByteArray textReply(const QByteArray& notes)
{
    QByteArray reply = notes;
    reply.append(QByteArray(1023 - notes.size(), ' '));
    return reply;
}

} // namespace

TEST_F(EditorTest, UploadedProfileReachesTheControls)
{
    const auto report = editor->loadUploadedProfile(uploadedInRange(), textReply("Serviced 2024\r\nOK"));
    EXPECT_TRUE(report.isEmpty());
    EXPECT_TRUE(profileChanged);  // the copy runs the handlers; the shell clears the flag afterwards
    const Profile w = editor->workingProfile();
    EXPECT_EQ(w.TimerValue[0], 0);   // 9 tenths
    EXPECT_EQ(w.TimerValue[3], 3);   // 39 tenths
    EXPECT_EQ(w.TimerValue[13], 13);
    EXPECT_EQ(w.TimerValue[10], 20);  // fixed, not taken from the controller
    EXPECT_EQ(child<QLineEdit>("TextTimer(9)")->text(), QString(" 0:00:09"));
    EXPECT_EQ(w.SysValue[5], 25);
    EXPECT_EQ(w.SysValue[17], 35);
    EXPECT_EQ(child<QLineEdit>("TextSysval(17)")->text(), QString("3.5"));
    EXPECT_EQ(w.SwSwitch[2], 2);
    EXPECT_EQ(w.SwSwitch[16], 12);
    EXPECT_EQ(w.SwSwitch[15], 0);
    EXPECT_EQ(w.AlogSensor[0], 3);
    EXPECT_EQ(w.AlogSensor[1], 1);
    EXPECT_EQ(w.MessageText[3], QString("Pump house 7    "));
    EXPECT_EQ(w.PINtext[0], QString("0042"));
    EXPECT_EQ(w.PINtext[1], QString("9999"));
    EXPECT_EQ(w.Notes, QString("Serviced 2024\r\nOK"));
    EXPECT_EQ(editor->LabelRemaining->text(), QString::number(1024 - 17));
    // The rules followed the new values.
    EXPECT_FALSE(widget("ComboSW(4)")->isEnabled());  // temperature: switch only
    EXPECT_FALSE(widget("TextMessage(0)")->isEnabled());  // input 3: option 12
}

TEST_F(EditorTest, UploadedNotesStopBeforeThe1023rdCharacter)
{
    const QByteArray full1022 = QByteArray(1021, 'a') + 'z';
    editor->loadUploadedProfile(uploadedInRange(), full1022 + ' ');
    EXPECT_EQ(editor->notes(), QString::fromLatin1(full1022));
    EXPECT_EQ(editor->LabelRemaining->text(), QString("2"));

    editor->loadUploadedProfile(uploadedInRange(), full1022 + 'Q');
    EXPECT_EQ(editor->notes(), QString::fromLatin1(full1022));

    editor->loadUploadedProfile(uploadedInRange(), QByteArray(1022, ' ') + 'Q');
    EXPECT_TRUE(editor->notes().isEmpty());
    EXPECT_EQ(editor->LabelRemaining->text(), QString("1024"));

    editor->loadUploadedProfile(uploadedInRange(), textReply("  indented, kept  "));
    EXPECT_EQ(editor->notes(), QString("  indented, kept"));
}

TEST_F(EditorTest, ValuesTheControlsCannotHoldAreReported)
{
    Profile p = uploadedInRange();
    p.TimerValue[2] = 5000;  // 500 s, above 100 s
    p.SysValue[9] = 0;       // below 1
    p.SysValue[17] = 60;     // above 50 tenths
    p.SwSwitch[24] = 52;     // beyond three options
    p.AlogSensor[1] = 200;
    p.PINtext[3] = "16665";
    const auto report = editor->loadUploadedProfile(p, textReply(""));
    ASSERT_EQ(report.size(), 6);

    EXPECT_EQ(report[0].setting, QString("Timers: Crank time:"));
    EXPECT_EQ(report[0].controllerValue, QString(" 0:08:20"));
    EXPECT_EQ(report[0].shownValue, QString(" 0:01:40"));
    EXPECT_EQ(report[1].setting, QString("Timers: Start Attempts:"));
    EXPECT_EQ(report[1].controllerValue, QString("0"));
    EXPECT_EQ(report[1].shownValue, QString("1"));
    EXPECT_EQ(report[2].setting, QString("Generator setup (2): Instant trip: (X FLC)"));
    EXPECT_EQ(report[2].controllerValue, QString("6"));
    EXPECT_EQ(report[2].shownValue, QString("5"));
    EXPECT_EQ(report[3].setting, QString("Outputs: Programmable output 1:"));
    EXPECT_EQ(report[3].controllerValue, QString("option 52"));
    EXPECT_EQ(report[3].shownValue, QString("nothing selected"));
    EXPECT_EQ(report[4].setting, QString("Inputs: Input 2 Engine temperature: Sender type:"));
    EXPECT_EQ(report[5].setting, QString("General: Mode-change PIN:"));
    EXPECT_EQ(report[5].shownValue, QString("1666"));

    // The controls show what the report says.
    const Profile w = editor->workingProfile();
    EXPECT_EQ(w.TimerValue[2], 100);
    EXPECT_EQ(w.SysValue[9], 1);
    EXPECT_EQ(w.SwSwitch[24], -1);
    EXPECT_EQ(w.AlogSensor[1], -1);
    EXPECT_EQ(w.PINtext[3], QString("1666"));
    // Nothing selected for the temperature sender counts as no sender.
    EXPECT_FALSE(widget("ComboSW(4)")->isEnabled());
}

TEST_F(EditorTest, AWorkingProfileComesBackAsItWasPut)
{
    Profile p = uploadedInRange();
    for (int& t : p.TimerValue)
        t /= 10;
    p.TimerValue[10] = 20;
    p.TimerValue[11] = 600;
    p.TimerValue[12] = 10;
    p.TimerValue[14] = 5;
    p.TimerValue[15] = 15;
    for (int i = 28; i < 32; ++i)
        p.SysValue[i] = 0;
    for (int i : {15, 23, 28, 29, 30, 31})
        p.SwSwitch[i] = 0;
    p.Notes = "line 1\r\nline 2";
    EXPECT_TRUE(editor->setWorkingProfile(p).isEmpty());
    const Profile w = editor->workingProfile();
    EXPECT_EQ(w.TimerValue, p.TimerValue);
    EXPECT_EQ(w.SysValue, p.SysValue);
    EXPECT_EQ(w.SwSwitch, p.SwSwitch);
    EXPECT_EQ(w.AlogSensor, p.AlogSensor);
    EXPECT_EQ(w.MessageText, p.MessageText);
    EXPECT_EQ(w.PINtext, p.PINtext);
    EXPECT_EQ(w.Notes, p.Notes);
}

TEST(ProfileEditorTabs, CaptionsPickTheirPages)
{
    const QStringList captions = ProfileEditor::tabCaptions();
    ASSERT_EQ(captions.size(), 8);
    const int pages[] = {7, 8, 5, 2, 3, 4, 1, 6};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(ProfileEditor::pageOfTab(captions[i]), pages[i]) << qPrintable(captions[i]);
    EXPECT_EQ(ProfileEditor::pageOfTab("Monitor"), -1);
    EXPECT_EQ(ProfileEditor::pageOfTab("timers"), -1);
}
