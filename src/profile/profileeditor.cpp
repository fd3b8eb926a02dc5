#include "profile/profileeditor.h"

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
    for (int i = 0; i < 6; ++i)
        connect(TextMessage[i], &QLineEdit::textChanged, this, [this, i] { TextMessage_Change(i); });
    for (int i = 0; i < 4; ++i)
        connect(TextPIN[i], &QLineEdit::textChanged, this, [this, i] { TextPIN_Change(i); });

    connect(textProfileNotes->document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) {
                m_lastNotesChangePos = position;
                m_lastNotesChangeAdded = added;
            });
    connect(textProfileNotes, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_assigningNotes)
            limitTypedNotes();
    });
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

void ProfileEditor::addTimerRow(QGridLayout* grid, int slot, const QString& label, const QString& where)
{
    const int row = grid->rowCount();
    LabelTimer[slot] = newLabel(label, indexed("LabelTimer", slot));
    TextTimer[slot] = newValueBox(indexed("TextTimer", slot));
    HScrollTimer[slot] = new QScrollBar(Qt::Horizontal);
    HScrollTimer[slot]->setObjectName(indexed("HScrollTimer", slot));
    HScrollTimer[slot]->setMinimumWidth(110);
    grid->addWidget(LabelTimer[slot], row, 0, Qt::AlignVCenter);
    grid->addLayout(valueStack(TextTimer[slot], nullptr, HScrollTimer[slot]), row, 1);
    m_settingName[{Kind::Timer, slot}] = where + QStringLiteral(": ") + label;
}

void ProfileEditor::addSysvalRow(QGridLayout* grid, int slot, const QString& label, const QString& unit,
                                 const QString& where)
{
    const int row = grid->rowCount();
    LabelSysval[slot] = newLabel(label, indexed("LabelSysval", slot));
    TextSysval[slot] = newValueBox(indexed("TextSysval", slot));
    HScrollSysval[slot] = new QScrollBar(Qt::Horizontal);
    HScrollSysval[slot]->setObjectName(indexed("HScrollSysval", slot));
    HScrollSysval[slot]->setMinimumWidth(110);
    if (!unit.isEmpty())
        LabelSysvalUnit[slot] = newLabel(unit, indexed("LabelSysvalUnit", slot));
    grid->addWidget(LabelSysval[slot], row, 0, Qt::AlignVCenter);
    grid->addLayout(valueStack(TextSysval[slot], LabelSysvalUnit[slot], HScrollSysval[slot]), row, 1);
    QString name = where + QStringLiteral(": ") + label;
    if (!unit.trimmed().isEmpty())
        name += QStringLiteral(" (") + unit.trimmed() + QLatin1Char(')');
    m_settingName[{Kind::SysValue, slot}] = name;
}

void ProfileEditor::addSwitchRow(QGridLayout* grid, int index, const QString& label, const QString& where)
{
    const int row = grid->rowCount();
    LabelSW[index] = newLabel(label, indexed("LabelSW", index));
    ComboSW[index] = new QComboBox;
    ComboSW[index]->setObjectName(indexed("ComboSW", index));
    ComboSW[index]->setMinimumContentsLength(12);
    ComboSW[index]->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    grid->addWidget(LabelSW[index], row, 0);
    grid->addWidget(ComboSW[index], row, 1);
    m_settingName[{Kind::Switch, index}] = where + QStringLiteral(": ") + label;
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

void ProfileEditor::addMessageRow(QGridLayout* grid, int slot, const QString& label, const QString& where)
{
    TextMessage[slot] = addFixedPitchRow(grid, LabelMessage[slot], label, QStringLiteral("TextMessage"), slot, 16);
    m_settingName[{Kind::Message, slot}] = where + QStringLiteral(": ") + label;
}

void ProfileEditor::addPinRow(QGridLayout* grid, int slot, const QString& label, const QString& where)
{
    TextPIN[slot] = addFixedPitchRow(grid, LabelPIN[slot], label, QStringLiteral("TextPIN"), slot, 4);
    m_settingName[{Kind::Pin, slot}] = where + QStringLiteral(": ") + label;
}

void ProfileEditor::buildOutputsPage(QWidget* page)
{
    const QString where = QStringLiteral("Outputs");
    auto* columns = pageColumns(page, 1);
    auto* grid = newColumn();
    for (int k = 0; k < 4; ++k)
        addSwitchRow(grid, 24 + k, QStringLiteral("Programmable output %1:").arg(k + 1), where);
    finishColumn(grid);
    columns->addLayout(grid, 1);
    columns->addStretch(1);
}

void ProfileEditor::buildGeneratorSetup2Page(QWidget* page)
{
    const QString where = QStringLiteral("Generator setup (2)");
    auto* columns = pageColumns(page, 2);
    auto* left = newColumn();
    addSysvalRow(left, 26, QStringLiteral("Generator phases:"), QString(), where);
    addSwitchRow(left, 13, QStringLiteral("Voltage measurement:"), where);
    addSysvalRow(left, 10, QStringLiteral("Generator under Voltage:"), QStringLiteral("V"), where);
    addSysvalRow(left, 11, QStringLiteral("Generator voltage OK:"), QStringLiteral("V"), where);
    addSwitchRow(left, 1, QStringLiteral("Gen under-volts action:"), where);
    addSysvalRow(left, 24, QStringLiteral("Generator over voltage:"), QStringLiteral("V"), where);
    finishColumn(left);
    auto* right = newColumn();
    addSysvalRow(right, 12, QStringLiteral("CT ratio:"), QStringLiteral(": 5A"), where);
    addSysvalRow(right, 13, QStringLiteral("Full-load current:"), QStringLiteral("A"), where);
    addSysvalRow(right, 17, QStringLiteral("Instant trip:"), QStringLiteral(" X FLC"), where);
    addSysvalRow(right, 16, QStringLiteral("IDMT time constant:"), QString(), where);
    addSwitchRow(right, 10, QStringLiteral("Over current action:"), where);
    finishColumn(right);
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
}

void ProfileEditor::buildDcPage(QWidget* page)
{
    const QString where = QStringLiteral("DC variables");
    auto* columns = pageColumns(page, 3);
    auto* grid = newColumn();
    addSysvalRow(grid, 8, QStringLiteral("Battery under voltage:"), QStringLiteral("V"), where);
    addSysvalRow(grid, 7, QStringLiteral("Battery over voltage:"), QStringLiteral("V"), where);
    addSwitchRow(grid, 2, QStringLiteral("Charge-fail source:"), where);
    addSwitchRow(grid, 6, QStringLiteral("WL crank cut:"), where);
    addSysvalRow(grid, 15, QStringLiteral("Charge-start voltage:"), QStringLiteral("V"), where);
    addSysvalRow(grid, 22, QStringLiteral("Charge-start period:"), QStringLiteral("Mins"), where);
    finishColumn(grid);
    columns->addLayout(grid, 1);
    columns->addStretch(1);
}

void ProfileEditor::buildInputsPage(QWidget* page)
{
    const QString where = QStringLiteral("Inputs");
    auto* columns = pageColumns(page, 4);

    auto* left = new QVBoxLayout;
    left->setSpacing(12);
    auto sensorBox = [&](int number, const QString& title, int sender, int units, int warning, int shutdown) {
        auto* box = new QGroupBox(title);
        box->setObjectName(indexed("FrameInput", number));
        auto* grid = newColumn();
        box->setLayout(grid);
        const QString inBox = where + QStringLiteral(": ") + title;
        addSwitchRow(grid, sender, QStringLiteral("Sender type:"), inBox);
        addSwitchRow(grid, units, QStringLiteral("Units:"), inBox);
        addSysvalRow(grid, warning, QStringLiteral("Warning level:"), QString(), inBox);
        addSysvalRow(grid, shutdown, QStringLiteral("Shutdown level:"), QString(), inBox);
        grid->setColumnStretch(1, 1);
        left->addWidget(box);
    };
    sensorBox(1, QStringLiteral("Input 1 Oil-pressure"), 32, 3, 18, 19);
    sensorBox(2, QStringLiteral("Input 2 Engine temperature"), 33, 4, 20, 21);
    left->addStretch(1);

    auto* right = newColumn();
    for (int k = 0; k < 3; ++k) {
        const QString input = QStringLiteral("Input %1").arg(k + 3);
        if (k > 0)
            right->addItem(new QSpacerItem(1, 10), right->rowCount(), 0);
        addSwitchRow(right, 16 + k, QStringLiteral("Programmable input %1:").arg(k + 3), where);
        addSwitchRow(right, 20 + k, QStringLiteral("Polarity:"), where + QStringLiteral(": ") + input);
        addMessageRow(right, k, QStringLiteral("Input %1 message:").arg(k + 3), where);
    }
    right->addItem(new QSpacerItem(1, 10), right->rowCount(), 0);
    addSwitchRow(right, 5, QStringLiteral("Remote-Start polarity:"), where);
    finishColumn(right);

    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
}

void ProfileEditor::buildGeneratorSetup1Page(QWidget* page)
{
    const QString where = QStringLiteral("Generator setup (1)");
    auto* columns = pageColumns(page, 5);
    auto* left = newColumn();
    addSwitchRow(left, 9, QStringLiteral("AC Frequency sense:"), where);
    addSysvalRow(left, 4, QStringLiteral("Crank disconnect:"), QStringLiteral("Hz"), where);
    addSysvalRow(left, 6, QStringLiteral("Under Frequency:"), QStringLiteral("Hz"), where);
    addSysvalRow(left, 5, QStringLiteral("Over Frequency:"), QStringLiteral("Hz"), where);
    addSwitchRow(left, 14, QStringLiteral("Over HZ:"), where);
    addSysvalRow(left, 25, QStringLiteral("Over Speed/Freq Override:"), QStringLiteral("%"), where);
    finishColumn(left);
    auto* right = newColumn();
    addSwitchRow(right, 8, QStringLiteral("Magnetic Pickup:"), where);
    addSysvalRow(right, 0, QStringLiteral("Flywheel teeth:"), QString(), where);
    addSysvalRow(right, 1, QStringLiteral("Crank disconnect:"), QStringLiteral("rpm"), where);
    addSysvalRow(right, 2, QStringLiteral("Over Speed:"), QStringLiteral("rpm"), where);
    addSysvalRow(right, 3, QStringLiteral("Under Speed:"), QStringLiteral("rpm"), where);
    addSwitchRow(right, 11, QStringLiteral("Under speed/Freq action:"), where);
    finishColumn(right);
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
}

void ProfileEditor::buildGeneralPage(QWidget* page)
{
    const QString where = QStringLiteral("General");
    auto* columns = pageColumns(page, 6);
    auto* left = newColumn();
    addPinRow(left, 0, QStringLiteral("Switch-on PIN:"), where);
    addPinRow(left, 1, QStringLiteral("Program mode PIN:"), where);
    addPinRow(left, 2, QStringLiteral("Remote log-on PIN:"), where);
    addPinRow(left, 3, QStringLiteral("Mode-change PIN:"), where);
    addSwitchRow(left, 12, QStringLiteral("Switch-off delay:"), where);
    addSwitchRow(left, 0, QStringLiteral("Load in MANual:"), where);
    finishColumn(left);
    auto* right = newColumn();
    addMessageRow(right, 5, QStringLiteral("Power-up message:"), where);
    addMessageRow(right, 3, QStringLiteral("Site name:"), where);
    addSwitchRow(right, 19, QStringLiteral("Phone-out condition:"), where);
    addMessageRow(right, 4, QStringLiteral("Phone-out number:"), where);
    addSysvalRow(right, 23, QStringLiteral("RS485 address:"), QString(), where);
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
    const QString where = QStringLiteral("Timers");
    auto* columns = pageColumns(page, 8);
    auto* left = newColumn();
    addTimerRow(left, 0, QStringLiteral("Start Delay:"), where);
    addSysvalRow(left, 9, QStringLiteral("Start Attempts:"), QString(), where);
    addTimerRow(left, 1, QStringLiteral("Preheat delay:"), where);
    addTimerRow(left, 2, QStringLiteral("Crank time:"), where);
    addTimerRow(left, 3, QStringLiteral("Crank Rest time:"), where);
    addTimerRow(left, 4, QStringLiteral("Override time:"), where);
    addTimerRow(left, 8, QStringLiteral("Speed Signal delay:"), where);
    finishColumn(left);
    auto* middle = newColumn();
    addTimerRow(middle, 5, QStringLiteral("Warmup delay:"), where);
    addTimerRow(middle, 6, QStringLiteral("Restoration period:"), where);
    addTimerRow(middle, 7, QStringLiteral("Engine cool period:"), where);
    addTimerRow(middle, 9, QStringLiteral("Energise to Stop:"), where);
    addSwitchRow(middle, 7, QStringLiteral("Hours-Run:"), where);
    addSysvalRow(middle, 27, QStringLiteral("Remote-Test time:"), QStringLiteral("mins"), where);
    finishColumn(middle);
    auto* right = newColumn();
    auto* heading = newLabel(QStringLiteral("ATS timers:"), QStringLiteral("LabelATSTimers"));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    right->addWidget(heading, 0, 0, 1, 3);
    const QString ats = where + QStringLiteral(": ATS timers");
    addSysvalRow(right, 14, QStringLiteral("Mains fail delay:"), QStringLiteral("Secs"), ats);
    addTimerRow(right, 13, QStringLiteral("Contactor delay:"), ats);
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
        TextMessage[slot]->setText(text);
    }
    TextMessage_Change(slot);
}

void ProfileEditor::setPinText(int slot, const QString& text)
{
    {
        const QSignalBlocker block(TextPIN[slot]);
        TextPIN[slot]->setText(text);
    }
    TextPIN_Change(slot);
}

void ProfileEditor::setNotes(const QString& notes)
{
    QString shown = notes;
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
    QList<ValueAdjustment> adjustments;

    for (int i = 0; i < 16; ++i) {
        if (!HScrollTimer[i])
            continue;
        const int v = profile.TimerValue[i];
        const QScrollBar* bar = HScrollTimer[i];
        if (v < bar->minimum() || v > bar->maximum())
            adjustments.append({m_settingName[{Kind::Timer, i}], secondsToTime(v),
                                secondsToTime(qBound(bar->minimum(), v, bar->maximum()))});
        setTimerValue(i, v);
    }
    for (int i = 0; i < 28; ++i) {
        const int v = profile.SysValue[i];
        const QScrollBar* bar = HScrollSysval[i];
        if (v < bar->minimum() || v > bar->maximum()) {
            auto text = [i](int x) { return i == 17 ? tenthsText(x) : QString::number(x); };
            adjustments.append({m_settingName[{Kind::SysValue, i}], text(v),
                                text(qBound(bar->minimum(), v, bar->maximum()))});
        }
        setSysValue(i, v);
    }
    auto assignSwitch = [&](int index, int option) {
        const QComboBox* combo = ComboSW[index];
        if (option < 0 || option >= combo->count())
            adjustments.append({m_settingName[{Kind::Switch, index}], QStringLiteral("option %1").arg(option),
                                QStringLiteral("nothing selected")});
        setSwitchOption(index, option);
    };
    for (int i = 0; i < 28; ++i)
        if (ComboSW[i])
            assignSwitch(i, profile.SwSwitch[i]);
    assignSwitch(32, profile.AlogSensor[0]);
    assignSwitch(33, profile.AlogSensor[1]);
    for (int i = 0; i < 6; ++i) {
        const QString& text = profile.MessageText[i];
        const int max = TextMessage[i]->maxLength();
        if (text.size() > max)
            adjustments.append({m_settingName[{Kind::Message, i}], text, text.left(max)});
        setMessageText(i, text);
    }
    for (int i = 0; i < 4; ++i) {
        const QString& text = profile.PINtext[i];
        const int max = TextPIN[i]->maxLength();
        if (text.size() > max)
            adjustments.append({m_settingName[{Kind::Pin, i}], text, text.left(max)});
        setPinText(i, text);
    }
    setNotes(profile.Notes);
    return adjustments;
}

QString ProfileEditor::notesFromTextReply(const QByteArray& textReply)
{
    const QString text = QString::fromLatin1(textReply.left(1023));
    qsizetype n = qMin<qsizetype>(text.size(), 1022);
    while (n > 0 && text[n - 1] == QLatin1Char(' '))
        --n;
    return text.left(n);
}

QList<ValueAdjustment> ProfileEditor::loadUploadedProfile(const Profile& uploaded, const QByteArray& textReply)
{
    Profile working = uploaded;
    for (int& t : working.TimerValue)
        t = int(floorDiv(t, 10));
    working.Notes = notesFromTextReply(textReply);
    return setWorkingProfile(working);
}

} // namespace gx
