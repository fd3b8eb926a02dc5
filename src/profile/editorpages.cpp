// The program pages' layout, in the tab strip's order of their pages: the
// value rows (timers, system values with their scroll bars), the selector
// rows, the message, PIN and notes boxes, and the eight pages built from them.

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


} // namespace gx
