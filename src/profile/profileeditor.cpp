// The program pages as the working profile: the editor's construction, the
// handlers of its controls, the values set into them, and the profile read back.

#include "profile/profileeditor.h"

#include "profile/singlebyte.h"
#include "profile/textentry.h"
#include "profile/profileimage.h"
#include "profile/slots.h"
#include "profile/tables.h"
#include "profile/valuetext.h"

#include <QComboBox>
#include <QFont>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <initializer_list>

namespace gx {

namespace {

void setEnabledAll(std::initializer_list<QWidget*> widgets, bool enabled)
{
    for (QWidget* w : widgets)
        if (w)
            w->setEnabled(enabled);
}

} // namespace

// ---------------------------------------------------------------------------
// Construction

ProfileEditor::ProfileEditor(const std::array<QWidget*, 9>& pages, bool* profileChanged, QObject* parent)
    : QObject(parent)
    , m_changed(profileChanged ? profileChanged : &m_ownChanged)
{
    buildOutputsPage(pages[1]);
    buildGeneratorSetup2Page(pages[2]);
    buildDcPage(pages[3]);
    buildInputsPage(pages[4]);
    buildGeneratorSetup1Page(pages[5]);
    buildGeneralPage(pages[6]);
    buildNotesPage(pages[7]);
    buildTimersPage(pages[8]);

    for (int i = 0; i < 16; ++i)
        if (HScrollTimer[i])
            connect(HScrollTimer[i], &QScrollBar::valueChanged, this, [this, i] { HScrollTimer_Change(i); });
    for (int i = 0; i < 28; ++i)
        connect(HScrollSysval[i], &QScrollBar::valueChanged, this, [this, i] { HScrollSysval_Change(i); });
    for (int i = 0; i < 34; ++i)
        if (ComboSW[i])
            connect(ComboSW[i], &QComboBox::currentIndexChanged, this, [this, i] { ComboSW_Click(i); });
    for (int i = 0; i < 6; ++i) {
        keepSingleByte(TextMessage[i]);
        connect(TextMessage[i], &QLineEdit::textChanged, this, [this, i] { TextMessage_Change(i); });
    }
    for (int i = 0; i < 4; ++i) {
        keepSingleByte(TextPIN[i]);
        connect(TextPIN[i], &QLineEdit::textChanged, this, [this, i] { TextPIN_Change(i); });
    }

    connect(textProfileNotes->document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) {
                m_lastNotesChangePos = position;
                m_lastNotesChangeAdded = added;
            });
    connect(textProfileNotes, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_assigningNotes)
            limitTypedNotes();
    });
    keepSingleByte(textProfileNotes);
}

QStringList ProfileEditor::tabCaptions()
{
    return {QStringLiteral("Profile"), QStringLiteral("Timers"), QStringLiteral("Generator setup (1)"),
            QStringLiteral("Generator setup (2)"), QStringLiteral("DC variables"), QStringLiteral("Inputs"),
            QStringLiteral("Outputs"), QStringLiteral("General")};
}

int ProfileEditor::pageOfTab(const QString& caption)
{
    static const int pageOf[] = {7, 8, 5, 2, 3, 4, 1, 6};
    const int i = int(tabCaptions().indexOf(caption));
    return i < 0 ? -1 : pageOf[i];
}

// ---------------------------------------------------------------------------
// Handlers

void ProfileEditor::markChanged()
{
    *m_changed = true;
}

int ProfileEditor::switchOption(int index) const
{
    return ComboSW[index] ? ComboSW[index]->currentIndex() : -1;
}

void ProfileEditor::refreshSysvalText(int slot)
{
    TextSysval[slot]->setText(sysValueText(slot, HScrollSysval[slot]->value(), switchOption(3), switchOption(4)));
}

void ProfileEditor::HScrollTimer_Change(int Index)
{
    markChanged();
    TextTimer[Index]->setText(secondsToTime(HScrollTimer[Index]->value()));
    emit edited();
}

void ProfileEditor::HScrollSysval_Change(int Index)
{
    markChanged();
    refreshSysvalText(Index);
    if (Index == 9) {
        const bool crankRest = HScrollSysval[9]->value() >= 2;
        setEnabledAll({TextTimer[3], HScrollTimer[3], LabelTimer[3]}, crankRest);
    }
    emit edited();
}

void ProfileEditor::ComboSW_Click(int Index)
{
    markChanged();
    const int option = switchOption(Index);

    // 1. AC frequency sense off: the frequency settings and the whole
    //    generator set-up (2) page are unused.
    if (Index == 9) {
        const bool on = option != 1;
        setEnabledAll({TextSysval[4], HScrollSysval[4], TextSysval[5], HScrollSysval[5], TextSysval[6],
                       HScrollSysval[6], LabelSysval[4], LabelSysval[5], LabelSysval[6], LabelSysvalUnit[4],
                       LabelSysvalUnit[5], LabelSysvalUnit[6]},
                      on);
        for (int s : {26, 10, 11, 24, 12, 13, 17, 16})
            setEnabledAll({LabelSysval[s], LabelSysvalUnit[s], TextSysval[s], HScrollSysval[s]}, on);
        for (int w : {13, 1, 10})
            setEnabledAll({LabelSW[w], ComboSW[w]}, on);
    }
    // 2. No magnetic pickup: the speed settings are unused.
    if (Index == 8) {
        const bool fitted = option != 1;
        for (int s : {0, 1, 2, 3})
            setEnabledAll({TextSysval[s], HScrollSysval[s], LabelSysval[s], LabelSysvalUnit[s]}, fitted);
    }
    // 3. Neither speed nor frequency sensed: no over-speed override and no
    //    under-speed action.
    {
        const bool unused = switchOption(8) == 1 && switchOption(9) == 1;
        setEnabledAll({TextSysval[25], HScrollSysval[25], LabelSysval[25], LabelSysvalUnit[25], ComboSW[11],
                       LabelSW[11]},
                      !unused);
    }
    // 4. Oil-pressure sender: units and levels only with a sender.
    if (Index == 32) {
        const bool sender = option >= 2;
        setEnabledAll({ComboSW[3], LabelSW[3], TextSysval[18], HScrollSysval[18], LabelSysval[18], TextSysval[19],
                       HScrollSysval[19], LabelSysval[19]},
                      sender);
    }
    // 5. Pressure texts follow the units.
    refreshSysvalText(18);
    refreshSysvalText(19);
    // 6. Temperature sender: units and levels only with a sender.
    if (Index == 33) {
        const bool sender = option >= 2;
        setEnabledAll({ComboSW[4], LabelSW[4], TextSysval[20], HScrollSysval[20], LabelSysval[20], TextSysval[21],
                       HScrollSysval[21], LabelSysval[21]},
                      sender);
    }
    // 7. Temperature texts follow the units.
    refreshSysvalText(20);
    refreshSysvalText(21);
    // 8. Programmable inputs 3-5: a message for options 1-7, a polarity for
    //    every used input.
    if (Index >= 16 && Index <= 18) {
        const int k = Index - 16;
        const bool message = option >= 1 && option <= 7;
        const bool polarity = option != 0;
        setEnabledAll({TextMessage[k], LabelMessage[k]}, message);
        setEnabledAll({ComboSW[20 + k], LabelSW[20 + k]}, polarity);
    }
    // 9. Phone-out number only when the controller phones out.
    if (Index == 19)
        setEnabledAll({TextMessage[4], LabelMessage[4]}, option != 0);
    // 10. WL crank cut only with the W/L charge-fail source.
    if (Index == 2)
        setEnabledAll({ComboSW[6], LabelSW[6]}, option == 1);

    emit edited();
}

void ProfileEditor::TextMessage_Change(int)
{
    markChanged();
    emit edited();
}

void ProfileEditor::TextPIN_Change(int)
{
    markChanged();
    emit edited();
}

void ProfileEditor::textProfileNotes_Change()
{
    markChanged();
    const QString text = notes();
    m_notesBefore = text;
    LabelRemaining->setText(QString::number(NotesMaxLength - text.size()));
    emit edited();
}

// Typing, pasting or dropping stops at NotesMaxLength characters (a line
// break counts as its CR LF): the part of the last insertion that does not
// fit is taken out again.
void ProfileEditor::limitTypedNotes()
{
    qsizetype excess = notes().size() - NotesMaxLength;
    if (excess > 0 && m_lastNotesChangeAdded > 0) {
        const QString plain = textProfileNotes->toPlainText();
        const int end = qMin(m_lastNotesChangePos + m_lastNotesChangeAdded, int(plain.size()));
        int start = end;
        while (excess > 0 && start > m_lastNotesChangePos) {
            --start;
            excess -= plain[start] == QLatin1Char('\n') ? 2 : 1;
        }
        m_assigningNotes = true;
        QTextCursor cursor(textProfileNotes->document());
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        m_assigningNotes = false;
        textProfileNotes->setTextCursor(cursor);
        m_lastNotesChangeAdded = 0;
        if (notes() == m_notesBefore)
            return;  // the whole insertion was refused: nothing was edited
    }
    textProfileNotes_Change();
}

// ---------------------------------------------------------------------------
// Assignments

void ProfileEditor::setTimerValue(int slot, int seconds)
{
    {
        const QSignalBlocker block(HScrollTimer[slot]);
        HScrollTimer[slot]->setValue(seconds);
    }
    HScrollTimer_Change(slot);
}

void ProfileEditor::setSysValue(int slot, int value)
{
    {
        const QSignalBlocker block(HScrollSysval[slot]);
        HScrollSysval[slot]->setValue(value);
    }
    HScrollSysval_Change(slot);
}

void ProfileEditor::setSwitchOption(int index, int option)
{
    {
        const QSignalBlocker block(ComboSW[index]);
        ComboSW[index]->setCurrentIndex(option >= 0 && option < ComboSW[index]->count() ? option : -1);
    }
    ComboSW_Click(index);
}

void ProfileEditor::setMessageText(int slot, const QString& text)
{
    {
        const QSignalBlocker block(TextMessage[slot]);
        TextMessage[slot]->setText(toSingleByte(text));
    }
    TextMessage_Change(slot);
}

void ProfileEditor::setPinText(int slot, const QString& text)
{
    {
        const QSignalBlocker block(TextPIN[slot]);
        TextPIN[slot]->setText(toSingleByte(text));
    }
    TextPIN_Change(slot);
}

void ProfileEditor::setNotes(const QString& notes)
{
    QString shown = toSingleByte(notes, true);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_assigningNotes = true;
    {
        const QSignalBlocker block(textProfileNotes);
        textProfileNotes->setPlainText(shown);
    }
    m_assigningNotes = false;
    textProfileNotes_Change();
}

QString ProfileEditor::notes() const
{
    QString text = textProfileNotes->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void ProfileEditor::applyLimits(const ProgramLimits& limits)
{
    m_limits = limits;
    for (int i = 0; i < 16; ++i) {
        if (!HScrollTimer[i])
            continue;
        const auto& t = limits.TimerLimit[i];
        {
            const QSignalBlocker block(HScrollTimer[i]);
            HScrollTimer[i]->setRange(int(floorDiv(t.TimerLowLimit, 10)), int(floorDiv(t.TimerHighLimit, 10)));
            HScrollTimer[i]->setSingleStep(1);
            HScrollTimer[i]->setPageStep(10);
        }
        setTimerValue(i, int(floorDiv(t.TimerDefault, 10)));
    }
    for (int i = 0; i < 28; ++i) {
        const auto& s = limits.SysValLimit[i];
        {
            const QSignalBlocker block(HScrollSysval[i]);
            HScrollSysval[i]->setRange(s.SysValLowLimit, s.SysvalHighLimit);
            HScrollSysval[i]->setSingleStep(1);
            HScrollSysval[i]->setPageStep(10);
        }
        setSysValue(i, s.SysValDefault);
    }
    for (int i = 0; i < 34; ++i) {
        if (!ComboSW[i])
            continue;
        const auto& w = limits.SwitchLimit[i];
        {
            const QSignalBlocker block(ComboSW[i]);
            ComboSW[i]->clear();
            ComboSW[i]->addItems(w.OptionLabel);
        }
        setSwitchOption(i, w.SwDefault);
    }
    for (int i = 0; i < 6; ++i) {
        TextMessage[i]->setMaxLength(16);
        setMessageText(i, limits.MessageLimit[i].MessageText.leftJustified(16, QLatin1Char(' ')));
    }
    for (int i = 0; i < 4; ++i) {
        TextPIN[i]->setMaxLength(4);
        setPinText(i, limits.PinLimit[i].PINdefault);
    }
}

// ---------------------------------------------------------------------------
// The working profile

Profile ProfileEditor::workingProfile() const
{
    Profile p;
    for (int i = 0; i < 16; ++i)
        if (HScrollTimer[i])
            p.TimerValue[i] = HScrollTimer[i]->value();
    for (int i = 0; i < 28; ++i)
        p.SysValue[i] = HScrollSysval[i]->value();
    for (int i = 0; i < 28; ++i)
        if (ComboSW[i])
            p.SwSwitch[i] = ComboSW[i]->currentIndex();
    p.AlogSensor[0] = ComboSW[32]->currentIndex();
    p.AlogSensor[1] = ComboSW[33]->currentIndex();
    for (int i = 0; i < 6; ++i)
        p.MessageText[i] = TextMessage[i]->text().leftJustified(16, QLatin1Char(' '));
    for (int i = 0; i < 4; ++i)
        p.PINtext[i] = TextPIN[i]->text();
    p.Notes = notes();
    return p;
}

QList<ValueAdjustment> ProfileEditor::setWorkingProfile(const Profile& profile)
{
    // The controls bring what they cannot hold into range; the same check
    // says so, in the words every other reader of a profile uses.
    const QList<ValueAdjustment> adjustments = checkAgainstLimits(profile, m_limits);
    for (int i = 0; i < 16; ++i)
        if (HScrollTimer[i])
            setTimerValue(i, profile.TimerValue[i]);
    for (int i = 0; i < 28; ++i)
        setSysValue(i, profile.SysValue[i]);
    for (int i = 0; i < 28; ++i)
        if (ComboSW[i])
            setSwitchOption(i, profile.SwSwitch[i]);
    setSwitchOption(32, profile.AlogSensor[0]);
    setSwitchOption(33, profile.AlogSensor[1]);
    for (int i = 0; i < 6; ++i)
        setMessageText(i, profile.MessageText[i]);
    for (int i = 0; i < 4; ++i)
        setPinText(i, profile.PINtext[i]);
    setNotes(profile.Notes);
    return adjustments;
}

QList<ValueAdjustment> ProfileEditor::loadUploadedProfile(const Profile& uploaded, const QByteArray& textReply)
{
    return setWorkingProfile(workingFromUpload(uploaded, textReply));
}

} // namespace gx
