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

QString indexed(const char* name, int i)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i);
}

QFont fixedPitchFont()
{
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    return f;
}

void setEnabledAll(std::initializer_list<QWidget*> widgets, bool enabled)
{
    for (QWidget* w : widgets)
        if (w)
            w->setEnabled(enabled);
}

QFrame* separatorLine(const QString& objectName)
{
    auto* line = new QFrame;
    line->setObjectName(objectName);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// Lays out columns side by side on a page; each column is a grid of
// label / control rows that keeps its rows at the top. The columns sit in a
// frameless scroll area, so a window smaller than the page scrolls instead of
// squeezing the controls.
QHBoxLayout* pageColumns(QWidget* page, int number)
{
    auto* outer = new QVBoxLayout(page);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* area = new QScrollArea;
    area->setObjectName(QStringLiteral("PageArea%1").arg(number));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setBackgroundRole(QPalette::Window);
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("PageContent%1").arg(number));
    area->setWidget(content);
    outer->addWidget(area);
    auto* row = new QHBoxLayout(content);
    row->setContentsMargins(12, 12, 12, 12);
    row->setSpacing(16);
    return row;
}

// A value box with its unit beside it, and the scroll bar below.
QVBoxLayout* valueStack(QLineEdit* value, QLabel* unit, QScrollBar* bar)
{
    auto* top = new QHBoxLayout;
    top->setSpacing(6);
    top->addWidget(value);
    if (unit)
        top->addWidget(unit);
    top->addStretch(1);
    auto* stack = new QVBoxLayout;
    stack->setSpacing(1);
    stack->addLayout(top);
    stack->addWidget(bar);
    return stack;
}

void finishColumn(QGridLayout* grid)
{
    grid->setRowStretch(grid->rowCount(), 1);
    grid->setColumnStretch(1, 1);
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

QLabel* ProfileEditor::newLabel(const QString& text, const QString& objectName)
{
    auto* label = new QLabel(text);
    label->setObjectName(objectName);
    return label;
}

QLineEdit* ProfileEditor::newValueBox(const QString& objectName)
{
    auto* box = new QLineEdit;
    box->setObjectName(objectName);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setFixedWidth(QFontMetrics(box->font()).horizontalAdvance(QStringLiteral(" 00:00:00 ")) + 16);
    return box;
}

QGridLayout* ProfileEditor::newColumn()
{
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    return grid;
}

void ProfileEditor::addTimerRow(QGridLayout* grid, int slot)
{
    const int row = grid->rowCount();
    LabelTimer[slot] = newLabel(slotInfo(SlotKind::Timer, slot).label, indexed("LabelTimer", slot));
    TextTimer[slot] = newValueBox(indexed("TextTimer", slot));
    HScrollTimer[slot] = new QScrollBar(Qt::Horizontal);
    HScrollTimer[slot]->setObjectName(indexed("HScrollTimer", slot));
    HScrollTimer[slot]->setMinimumWidth(110);
    grid->addWidget(LabelTimer[slot], row, 0, Qt::AlignVCenter);
    grid->addLayout(valueStack(TextTimer[slot], nullptr, HScrollTimer[slot]), row, 1);
}

void ProfileEditor::addSysvalRow(QGridLayout* grid, int slot)
{
    const int row = grid->rowCount();
    const SlotInfo info = slotInfo(SlotKind::SysValue, slot);
    const QString& unit = info.unit;
    LabelSysval[slot] = newLabel(info.label, indexed("LabelSysval", slot));
    TextSysval[slot] = newValueBox(indexed("TextSysval", slot));
    HScrollSysval[slot] = new QScrollBar(Qt::Horizontal);
    HScrollSysval[slot]->setObjectName(indexed("HScrollSysval", slot));
    HScrollSysval[slot]->setMinimumWidth(110);
    if (!unit.isEmpty())
        LabelSysvalUnit[slot] = newLabel(unit, indexed("LabelSysvalUnit", slot));
    grid->addWidget(LabelSysval[slot], row, 0, Qt::AlignVCenter);
    grid->addLayout(valueStack(TextSysval[slot], LabelSysvalUnit[slot], HScrollSysval[slot]), row, 1);
}

void ProfileEditor::addSwitchRow(QGridLayout* grid, int index)
{
    const int row = grid->rowCount();
    LabelSW[index] = newLabel(slotInfo(SlotKind::Switch, index).label, indexed("LabelSW", index));
    ComboSW[index] = new QComboBox;
    ComboSW[index]->setObjectName(indexed("ComboSW", index));
    ComboSW[index]->setMinimumContentsLength(12);
    ComboSW[index]->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    grid->addWidget(LabelSW[index], row, 0);
    grid->addWidget(ComboSW[index], row, 1);
}

QLineEdit* ProfileEditor::addFixedPitchRow(QGridLayout* grid, QLabel*& label, const QString& text,
                                           const QString& name, int slot, int maxLength)
{
    const int row = grid->rowCount();
    label = newLabel(text, indexed(("Label" + name.mid(4)).toLatin1().constData(), slot));
    auto* box = new QLineEdit;
    box->setObjectName(indexed(name.toLatin1().constData(), slot));
    box->setFont(fixedPitchFont());
    box->setMaxLength(maxLength);
    box->setFixedWidth(QFontMetrics(box->font()).horizontalAdvance(QString(maxLength + 1, QLatin1Char('M'))) + 12);
    grid->addWidget(label, row, 0);
    grid->addWidget(box, row, 1, Qt::AlignLeft);
    return box;
}

void ProfileEditor::addMessageRow(QGridLayout* grid, int slot)
{
    TextMessage[slot] = addFixedPitchRow(grid, LabelMessage[slot], slotInfo(SlotKind::Message, slot).label,
                                         QStringLiteral("TextMessage"), slot, 16);
}

void ProfileEditor::addPinRow(QGridLayout* grid, int slot)
{
    TextPIN[slot] = addFixedPitchRow(grid, LabelPIN[slot], slotInfo(SlotKind::Pin, slot).label,
                                     QStringLiteral("TextPIN"), slot, 4);
}

void ProfileEditor::buildOutputsPage(QWidget* page)
{
    auto* columns = pageColumns(page, 1);
    auto* grid = newColumn();
    for (int k = 0; k < 4; ++k)
        addSwitchRow(grid, 24 + k);
    finishColumn(grid);
    columns->addLayout(grid, 1);
    columns->addStretch(1);
}

void ProfileEditor::buildGeneratorSetup2Page(QWidget* page)
{
    auto* columns = pageColumns(page, 2);
    auto* left = newColumn();
    addSysvalRow(left, 26);
    addSwitchRow(left, 13);
    addSysvalRow(left, 10);
    addSysvalRow(left, 11);
    addSwitchRow(left, 1);
    addSysvalRow(left, 24);
    finishColumn(left);
    auto* right = newColumn();
    addSysvalRow(right, 12);
    addSysvalRow(right, 13);
    addSysvalRow(right, 17);
    addSysvalRow(right, 16);
    addSwitchRow(right, 10);
    finishColumn(right);
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
}

void ProfileEditor::buildDcPage(QWidget* page)
{
    auto* columns = pageColumns(page, 3);
    auto* grid = newColumn();
    addSysvalRow(grid, 8);
    addSysvalRow(grid, 7);
    addSwitchRow(grid, 2);
    addSwitchRow(grid, 6);
    addSysvalRow(grid, 15);
    addSysvalRow(grid, 22);
    finishColumn(grid);
    columns->addLayout(grid, 1);
    columns->addStretch(1);
}

void ProfileEditor::buildInputsPage(QWidget* page)
{
    auto* columns = pageColumns(page, 4);

    auto* left = new QVBoxLayout;
    left->setSpacing(12);
    auto sensorBox = [&](int number, const QString& title, int sender, int units, int warning, int shutdown) {
        auto* box = new QGroupBox(title);
        box->setObjectName(indexed("FrameInput", number));
        auto* grid = newColumn();
        box->setLayout(grid);
        addSwitchRow(grid, sender);
        addSwitchRow(grid, units);
        addSysvalRow(grid, warning);
        addSysvalRow(grid, shutdown);
        grid->setColumnStretch(1, 1);
        left->addWidget(box);
    };
    sensorBox(1, QStringLiteral("Input 1 Oil-pressure"), 32, 3, 18, 19);
    sensorBox(2, QStringLiteral("Input 2 Engine temperature"), 33, 4, 20, 21);
    left->addStretch(1);

    auto* right = newColumn();
    for (int k = 0; k < 3; ++k) {
        if (k > 0)
            right->addItem(new QSpacerItem(1, 10), right->rowCount(), 0);
        addSwitchRow(right, 16 + k);
        addSwitchRow(right, 20 + k);
        addMessageRow(right, k);
    }
    right->addItem(new QSpacerItem(1, 10), right->rowCount(), 0);
    addSwitchRow(right, 5);
    finishColumn(right);

    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
}

void ProfileEditor::buildGeneratorSetup1Page(QWidget* page)
{
    auto* columns = pageColumns(page, 5);
    auto* left = newColumn();
    addSwitchRow(left, 9);
    addSysvalRow(left, 4);
    addSysvalRow(left, 6);
    addSysvalRow(left, 5);
    addSwitchRow(left, 14);
    addSysvalRow(left, 25);
    finishColumn(left);
    auto* right = newColumn();
    addSwitchRow(right, 8);
    addSysvalRow(right, 0);
    addSysvalRow(right, 1);
    addSysvalRow(right, 2);
    addSysvalRow(right, 3);
    addSwitchRow(right, 11);
    finishColumn(right);
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
}

void ProfileEditor::buildGeneralPage(QWidget* page)
{
    auto* columns = pageColumns(page, 6);
    auto* left = newColumn();
    addPinRow(left, 0);
    addPinRow(left, 1);
    addPinRow(left, 2);
    addPinRow(left, 3);
    addSwitchRow(left, 12);
    addSwitchRow(left, 0);
    finishColumn(left);
    auto* right = newColumn();
    addMessageRow(right, 5);
    addMessageRow(right, 3);
    addSwitchRow(right, 19);
    addMessageRow(right, 4);
    addSysvalRow(right, 23);
    finishColumn(right);
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
}

void ProfileEditor::buildNotesPage(QWidget* page)
{
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(16, 16, 16, 16);
    column->addWidget(newLabel(QStringLiteral("Profile Notes (1024 characters max):"), QStringLiteral("LabelNotes")));
    textProfileNotes = new QPlainTextEdit;
    textProfileNotes->setObjectName(QStringLiteral("textProfileNotes"));
    column->addWidget(textProfileNotes, 1);
    auto* remaining = new QHBoxLayout;
    remaining->addWidget(newLabel(QStringLiteral("Characters remaining:"), QStringLiteral("LabelRemainingCaption")));
    LabelRemaining = newLabel(QStringLiteral("----"), QStringLiteral("LabelRemaining"));
    remaining->addWidget(LabelRemaining);
    remaining->addStretch(1);
    column->addLayout(remaining);
}

void ProfileEditor::buildTimersPage(QWidget* page)
{
    auto* columns = pageColumns(page, 8);
    auto* left = newColumn();
    addTimerRow(left, 0);
    addSysvalRow(left, 9);
    addTimerRow(left, 1);
    addTimerRow(left, 2);
    addTimerRow(left, 3);
    addTimerRow(left, 4);
    addTimerRow(left, 8);
    finishColumn(left);
    auto* middle = newColumn();
    addTimerRow(middle, 5);
    addTimerRow(middle, 6);
    addTimerRow(middle, 7);
    addTimerRow(middle, 9);
    addSwitchRow(middle, 7);
    addSysvalRow(middle, 27);
    finishColumn(middle);
    auto* right = newColumn();
    auto* heading = newLabel(QStringLiteral("ATS timers:"), QStringLiteral("LabelATSTimers"));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    right->addWidget(heading, 0, 0, 1, 3);
    addSysvalRow(right, 14);
    addTimerRow(right, 13);
    finishColumn(right);

    columns->addLayout(left, 3);
    columns->addWidget(separatorLine(QStringLiteral("LineTimers(0)")));
    columns->addLayout(middle, 3);
    columns->addWidget(separatorLine(QStringLiteral("LineTimers(1)")));
    columns->addLayout(right, 2);
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
