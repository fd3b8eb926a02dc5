#include "editorfixture.h"

#include <QTest>

#include <functional>

using namespace gx;

TEST_F(EditorTest, LimitsGiveRangesStepsDefaultsAndTheStartingProfile)
{
    auto* t0 = child<QScrollBar>("HScrollTimer(0)");
    auto* attempts = child<QScrollBar>("HScrollSysval(9)");
    // Timer 0: 0..1000 tenths, default 25 tenths, rounded down to seconds.
    EXPECT_EQ((std::array{t0->minimum(), t0->maximum(), t0->singleStep(), t0->pageStep(), t0->value()}),
              (std::array{0, 100, 1, 10, 2}));
    EXPECT_EQ((std::array{attempts->minimum(), attempts->maximum(), attempts->value()}), (std::array{1, 10, 3}));
    EXPECT_EQ(text("TextTimer(0)"), QString(" 0:00:02"));
    EXPECT_EQ(text("TextSysval(17)"), QString("2.5"));
    EXPECT_EQ(child<QComboBox>("ComboSW(16)")->itemText(15), QString("Manual Stop           "));
    EXPECT_EQ(child<QLineEdit>("TextMessage(3)")->maxLength(), 16);
    EXPECT_EQ(child<QLineEdit>("TextPIN(2)")->maxLength(), 4);

    const Profile p = editor->workingProfile();
    EXPECT_EQ((std::array{p.TimerValue[0], p.TimerValue[13], p.TimerValue[10], p.SysValue[17], p.SysValue[28]}),
              (std::array{2, 10, 20, 25, 0}));  // slot 10 fixed, slot 28 unused
    EXPECT_EQ((std::array{p.AlogSensor[0], p.AlogSensor[1], p.AlogSensor[2]}), (std::array{2, 2, 0}));
    EXPECT_EQ(p.MessageText[6], QString(16, ' '));  // unused slot: blanks
}

// The rules that grey out unused settings, run step by step through the
// controls. Each step sets one control (none at start-up) and then expects
// the listed controls usable, or greyed where the name starts with "-".
TEST_F(EditorTest, SettingsGreyOutWhatTheyMakeUnused)
{
    const std::tuple<const char*, int, const char*> steps[] = {
        {nullptr, 0, "-TextMessage(0) -ComboSW(20) -LabelMessage(1) -ComboSW(22) -TextMessage(4) -ComboSW(6) ComboSW(3)"},
        // One start attempt: no crank rest.
        {"HScrollSysval(9)", 1, "-TextTimer(3) -HScrollTimer(3) -LabelTimer(3)"},
        {"HScrollSysval(9)", 2, "TextTimer(3) HScrollTimer(3) LabelTimer(3)"},
        // AC frequency sense off: the frequency settings (and page 2, below).
        {"ComboSW(9)", 1, "-TextSysval(4) -HScrollSysval(5) -LabelSysval(6) -LabelSysvalUnit(6) HScrollSysval(0) ComboSW(11)"},
        {"ComboSW(9)", 2, "TextSysval(4) LabelSysvalUnit(4) HScrollSysval(26) ComboSW(10)"},
        // No magnetic pickup: the speed settings; the override stays while frequency is sensed.
        {"ComboSW(8)", 1, "-TextSysval(0) -HScrollSysval(1) -LabelSysval(2) -LabelSysvalUnit(3) HScrollSysval(4) HScrollSysval(25)"},
        // Neither speed nor frequency: no override, no under-speed action, whatever else changes.
        {"ComboSW(9)", 1, "-TextSysval(25) -HScrollSysval(25) -LabelSysvalUnit(25) -ComboSW(11) -LabelSW(11)"},
        {"ComboSW(0)", 2, "-HScrollSysval(25) -ComboSW(11)"},
        {"ComboSW(8)", 0, "TextSysval(25) LabelSysval(25) ComboSW(11) LabelSysval(1)"},
        // Senders: units and levels only with a sender (option 2 and up).
        {"ComboSW(32)", 1, "-ComboSW(3) -LabelSW(3) -TextSysval(18) -HScrollSysval(18) -LabelSysval(19) ComboSW(32)"},
        {"ComboSW(32)", 3, "ComboSW(3) LabelSW(3) TextSysval(19) LabelSysval(18)"},
        {"ComboSW(32)", -1, "-ComboSW(3) -HScrollSysval(18)"},
        {"ComboSW(33)", 0, "-ComboSW(4) -LabelSW(4) -TextSysval(20) -HScrollSysval(21) -LabelSysval(21)"},
        {"ComboSW(33)", 2, "ComboSW(4) LabelSW(4) HScrollSysval(20) TextSysval(21)"},
        // Programmable inputs: a message for options 1-7, a polarity for every used input.
        {"ComboSW(16)", 7, "TextMessage(0) LabelMessage(0) ComboSW(20) LabelSW(20)"},
        {"ComboSW(16)", 0, "-TextMessage(0) -LabelMessage(0) -ComboSW(20) -LabelSW(20)"},
        {"ComboSW(16)", 9, "-TextMessage(0) -LabelMessage(0) ComboSW(20) LabelSW(20)"},
        {"ComboSW(16)", 8, "-TextMessage(0) ComboSW(20)"},
        {"ComboSW(17)", 1, "-TextMessage(0) TextMessage(1) LabelMessage(1) ComboSW(21)"},
        {"ComboSW(18)", 5, "TextMessage(2) LabelSW(22)"},
        {"ComboSW(18)", -1, "-TextMessage(2) ComboSW(22)"},
        // Phone-out number only when phoning out.
        {"ComboSW(19)", 1, "TextMessage(4) LabelMessage(4)"},
        {"ComboSW(19)", 0, "-TextMessage(4) -LabelMessage(4)"},
        {"ComboSW(19)", -1, "TextMessage(4)"},
        // WL crank cut only with the W/L charge-fail source.
        {"ComboSW(2)", 1, "ComboSW(6) LabelSW(6)"},
        {"ComboSW(2)", 2, "-ComboSW(6) -LabelSW(6)"},
        {"ComboSW(2)", -1, "-ComboSW(6) -LabelSW(6)"},
    };
    for (const auto& [control, value, expected] : steps) {
        if (control)
            set(control, value);
        for (const QString& name : QString(expected).split(' ')) {
            const bool greyed = name.startsWith('-');
            EXPECT_EQ(enabled(greyed ? name.mid(1) : name), !greyed)
                << qPrintable(name) << " after " << (control ? control : "start-up") << " = " << value;
        }
    }
}

TEST_F(EditorTest, FrequencySenseOffGreysTheWholeGeneratorSetup2Page)
{
    QList<QWidget*> onPage2;
    for (QWidget* w : frames[2]->findChildren<QWidget*>())
        if (w->objectName().contains('('))
            onPage2 << w;
    EXPECT_EQ(onPage2.size(), 36);  // eight values, three selectors
    set("ComboSW(9)", 1);
    for (QWidget* w : onPage2)
        EXPECT_FALSE(w->isEnabled()) << qPrintable(w->objectName());
    set("ComboSW(9)", 2);
    for (QWidget* w : onPage2)
        EXPECT_TRUE(w->isEnabled()) << qPrintable(w->objectName());
}

// Each step sets a control and reads one value box; the unit selectors
// (pressure 0 = bar, temperature 0 = deg F) refresh the texts of values set before.
TEST_F(EditorTest, ValueTextsFollowTheControlsAndUnits)
{
    const std::tuple<const char*, int, const char*, const char*> steps[] = {  // control, value, box, text
        {"HScrollSysval(18)", 100, "TextSysval(18)", "6.8"}, {"HScrollSysval(19)", 145, "TextSysval(19)", "10"},
        {"ComboSW(3)", 1, "TextSysval(18)", "100"},          {"ComboSW(3)", 1, "TextSysval(19)", "145"},
        {"HScrollSysval(20)", 100, "TextSysval(20)", "212"}, {"HScrollSysval(21)", 0, "TextSysval(21)", "32"},
        {"ComboSW(4)", 2, "TextSysval(20)", "100"},          {"ComboSW(4)", 2, "TextSysval(21)", "0"},
        {"HScrollTimer(7)", 65, "TextTimer(7)", " 0:01:05"}, {"HScrollSysval(17)", 20, "TextSysval(17)", "2"},
    };
    for (const auto& [control, value, box, shown] : steps) {
        set(control, value);
        EXPECT_EQ(text(box), QString(shown)) << control << " = " << value;
    }
    EXPECT_EQ(editor->workingProfile().SysValue[18], 100);  // units change the text only
}

TEST_F(EditorTest, EveryEditAndAssignmentSetsProfileChangedAndSignalsOnce)
{
    int edits = 0;
    QObject::connect(editor.get(), &ProfileEditor::edited, [&] { ++edits; });
    editor->setMessageText(5, "Gen");
    editor->setPinText(1, "12");
    const std::pair<const char*, std::function<void()>> rows[] = {
        {"timer", [&] { set("HScrollTimer(2)", 7); }},
        {"value page step", [&] { child<QScrollBar>("HScrollSysval(26)")->triggerAction(QAbstractSlider::SliderPageStepAdd); }},
        {"selector", [&] { set("ComboSW(24)", 2); }},
        {"typed message", [&] { QTest::keyClicks(child<QLineEdit>("TextMessage(5)"), "x"); }},
        {"typed PIN", [&] { QTest::keyClicks(child<QLineEdit>("TextPIN(1)"), "1"); }},
        {"typed notes", [&] { QTest::keyClicks(editor->textProfileNotes, "a"); }},
    };
    for (const auto& [what, edit] : rows) {
        profileChanged = false;
        edits = 0;
        edit();
        EXPECT_TRUE(profileChanged) << what;
        EXPECT_EQ(edits, 1) << what;
    }

    // Assigning the value a control already holds still runs the rules.
    editor->setSysValue(9, 1);
    widget("HScrollTimer(3)")->setEnabled(true);  // un-grey behind the handler's back
    editor->setSysValue(9, 1);
    EXPECT_FALSE(enabled("HScrollTimer(3)"));
}

TEST_F(EditorTest, NotesStopAt1024CharactersCountingCrLf)
{
    editor->setNotes(QString(1020, 'n'));
    EXPECT_EQ(editor->LabelRemaining->text(), QString("4"));
    editor->textProfileNotes->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor->textProfileNotes, "abcdefgh");
    EXPECT_EQ(editor->notes(), QString(1020, 'n') + "abcd");
    EXPECT_EQ(editor->LabelRemaining->text(), QString("0"));

    // A line break takes two characters: it does not fit in one, and a refused key is no edit.
    editor->setNotes(QString(1023, 'n'));
    editor->textProfileNotes->moveCursor(QTextCursor::End);
    profileChanged = false;
    QTest::keyClick(editor->textProfileNotes, Qt::Key_Return);
    EXPECT_EQ(editor->notes().size(), 1023);
    EXPECT_FALSE(profileChanged);
    QTest::keyClicks(editor->textProfileNotes, "z");
    EXPECT_EQ(editor->notes(), QString(1023, 'n') + "z");

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
    for (int i = 0; i < 32; ++i)
        p.TimerValue[i % 16] = 10 * (i % 16) + 9 /* tenths */, p.SysValue[i] = i < 28 ? 20 + i : 0, p.SwSwitch[i] = i % 3;
    p.SysValue[9] = 4, p.SysValue[17] = 35, p.SwSwitch[16] = 12, p.AlogSensor[0] = 3, p.AlogSensor[1] = 1;
    p.PINtext[0] = "0042";
    return p;
}

QByteArray textReply(const QByteArray& notes)
{
    return notes + QByteArray(1023 - notes.size(), ' ');
}

} // namespace

TEST_F(EditorTest, UploadedProfileReachesTheControlsAndRunsTheRules)
{
    EXPECT_TRUE(editor->loadUploadedProfile(uploadedInRange(), textReply("")).isEmpty());
    EXPECT_TRUE(profileChanged);  // the copy runs the handlers; the shell clears the flag afterwards
    const Profile w = editor->workingProfile();
    EXPECT_EQ((std::array{w.TimerValue[0], w.TimerValue[3], w.TimerValue[13], w.TimerValue[10]}),
              (std::array{0, 3, 13, 20}));  // tenths rounded down; slot 10 fixed, not taken over
    EXPECT_EQ(text("TextTimer(9)"), QString(" 0:00:09"));
    EXPECT_EQ((std::array{w.SysValue[5], w.SysValue[17]}), (std::array{25, 35}));
    EXPECT_EQ((std::array{w.SwSwitch[2], w.SwSwitch[16], w.SwSwitch[15]}), (std::array{2, 12, 0}));
    EXPECT_EQ((std::array{w.AlogSensor[0], w.AlogSensor[1]}), (std::array{3, 1}));
    EXPECT_EQ(w.PINtext[0], QString("0042"));
    EXPECT_FALSE(enabled("ComboSW(4)"));      // temperature: switch only
    EXPECT_FALSE(enabled("TextMessage(0)"));  // input 3: option 12
}

TEST_F(EditorTest, UploadedNotesStopBeforeThe1023rdCharacterAndLoseTrailingBlanks)
{
    const QByteArray full1022 = QByteArray(1021, 'a') + 'z';
    const std::pair<QByteArray, QString> rows[] = {  // the text reply, the notes
        {full1022 + ' ', QString::fromLatin1(full1022)}, {full1022 + 'Q', QString::fromLatin1(full1022)},
        {QByteArray(1022, ' ') + 'Q', QString()},        {textReply("  indented, kept  "), "  indented, kept"}};
    for (const auto& [reply, notes] : rows) {
        editor->loadUploadedProfile(uploadedInRange(), reply);
        EXPECT_EQ(editor->notes(), notes) << reply.left(20).toStdString() << "..." << reply.right(2).toStdString();
        EXPECT_EQ(editor->LabelRemaining->text(), QString::number(1024 - notes.size()));
    }
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
    p.SwSwitch[5] = -1;  // nothing selected: held as it is, not reported
    p.MessageText[3] = QString::fromLatin1("Pump\x92s house").leftJustified(16);
    const auto report = editor->loadUploadedProfile(p, textReply(""));
    const std::array<QString, 3> expected[] = {  // setting, controller's value, shown value ("": not checked)
        {"Timers: Crank time:", " 0:08:20", " 0:01:40"},
        {"Timers: Start Attempts:", "0", "1"},
        {"Generator setup (2): Instant trip:", "6 X FLC", "5 X FLC"},
        {"Outputs: Programmable output 1:", "option 52", "nothing selected"},
        {"Inputs: Input 2 Engine temperature: Sender type:", "", ""},
        {"General: Site name:", "Pump<92>s house    ", "Pump?s house    "},
        {"General: Mode-change PIN:", "", "1666"},
    };
    ASSERT_EQ(report.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const auto& [setting, controller, shown] = expected[i];
        EXPECT_EQ(report[i].setting, setting) << i;
        EXPECT_TRUE(controller.isEmpty() || report[i].controllerValue == controller) << qPrintable(setting);
        EXPECT_TRUE(shown.isEmpty() || report[i].shownValue == shown) << qPrintable(setting);
    }
    // The controls hold what the report says; no sender selected greys the temperature units.
    const Profile w = editor->workingProfile();
    EXPECT_EQ((std::array{w.TimerValue[2], w.SysValue[9], w.SwSwitch[24], w.AlogSensor[1]}),
              (std::array{100, 1, -1, -1}));
    EXPECT_EQ(w.PINtext[3], QString("1666"));
    EXPECT_EQ(w.MessageText[3], QString("Pump?s house    "));
    EXPECT_FALSE(enabled("ComboSW(4)"));
}

TEST_F(EditorTest, TypedTextKeepsToOneByteACharacter)
{
    // Typed or pasted: a typographic twin becomes its plain one, anything
    // else the controller cannot hold "?", as the box shows it.
    const std::pair<QString, QString> rows[] = {
        {QString::fromUtf8("Pump’s – “A”"), "Pump's - \"A\""}, {QString::fromUtf8("5€"), "5?"}, {QString::fromUtf8("Café"), QString::fromUtf8("Café")}};
    for (const auto& [typed, kept] : rows) {
        for (int i = 0; i < 6; ++i) {
            editor->TextMessage[size_t(i)]->clear();
            editor->TextMessage[size_t(i)]->insert(typed);  // as a paste or a keyboard does
            EXPECT_EQ(editor->TextMessage[size_t(i)]->text(), kept) << "message " << i;
        }
        for (int i = 0; i < 4; ++i) {
            editor->TextPIN[size_t(i)]->clear();
            editor->TextPIN[size_t(i)]->insert(typed.left(4));
            EXPECT_EQ(editor->TextPIN[size_t(i)]->text(), kept.left(4)) << "PIN " << i;
        }
        editor->textProfileNotes->clear();
        editor->textProfileNotes->insertPlainText(typed + "\n" + typed);  // as a paste
        EXPECT_EQ(editor->notes(), kept + "\r\n" + kept);
        EXPECT_EQ(editor->workingProfile().MessageText[0], kept.leftJustified(16));
    }
}
