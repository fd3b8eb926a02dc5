// Building the RS485 network overview's rows, showing each node's quick status, lamps and link health.

#include "networkscreen.h"

#include "monitor/faultcodes.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace gx {

QColor NetworkScreen::lampColour(QuickStatusView::Lamp lamp)
{
    switch (lamp) {
    case QuickStatusView::Lamp::Green: return QColor(0x00, 0xFF, 0x00);
    case QuickStatusView::Lamp::Orange: return QColor(0xFF, 0x80, 0x00);
    default: return QColor(0xFF, 0x00, 0x00);
    }
}

NetworkScreen::NetworkScreen(QWidget* frame) : QObject(frame), m_frame(frame)
{
    build();
}

QColor NetworkScreen::systemGrey() const
{
    return QApplication::palette().color(QPalette::Button);
}

void NetworkScreen::build()
{
    auto* outer = m_frame->layout() ? m_frame->layout() : new QVBoxLayout(m_frame);
    outer->setContentsMargins(2, 2, 2, 2);
    m_panel = new QWidget(m_frame);
    m_panel->setObjectName(QStringLiteral("NetworkPanel"));
    outer->addWidget(m_panel);
    auto* root = new QVBoxLayout(m_panel);
    root->setContentsMargins(6, 6, 6, 6);

    auto* scroll = new QScrollArea(m_panel);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* table = new QWidget(scroll);
    auto* grid = new QGridLayout(table);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    const char* headings[] = {"Node", "Watch", "Found", "State", "Status", "", "", "", "", "", "Link"};
    for (int c = 0; c < 11; ++c) {
        auto* h = new QLabel(QString::fromLatin1(headings[c]), table);
        QFont f = h->font();
        f.setBold(true);
        h->setFont(f);
        grid->addWidget(h, 0, c, Qt::AlignLeft);
    }
    const QColor grey = systemGrey();
    for (int n = 1; n <= Rows; ++n) {
        const auto name = [n](const char* base) { return QStringLiteral("%1(%2)").arg(QLatin1String(base)).arg(n); };
        LabelStationNumber[n] = new QLabel(QString::number(n), table);
        LabelStationNumber[n]->setObjectName(name("LabelStationNumber"));
        LabelStationNumber[n]->setAlignment(Qt::AlignCenter);
        Check1[n] = new QCheckBox(table);
        Check1[n]->setObjectName(name("Check1"));
        LEDavailable[n] = new LED(table);
        LEDavailable[n]->setObjectName(name("LEDavailable"));
        LEDavailable[n]->setFixedSize(18, 18);
        LEDavailable[n]->setOnColour(lampColour(QuickStatusView::Lamp::Green));
        LEDavailable[n]->setOffColour(grey);
        LEDstatus[n] = new LED(table);
        LEDstatus[n]->setObjectName(name("LEDstatus"));
        LEDstatus[n]->setFixedSize(18, 18);
        LEDstatus[n]->setOnColour(lampColour(QuickStatusView::Lamp::Green));
        LEDstatus[n]->setOffColour(grey);
        TextStatus[n] = new QLineEdit(table);
        TextStatus[n]->setObjectName(name("TextStatus"));
        TextStatus[n]->setReadOnly(true);
        TextStatus[n]->setFocusPolicy(Qt::NoFocus);
        TextStatus[n]->setMinimumWidth(120);
        m_background[n] = QApplication::palette().color(QPalette::Button);
        setStatusBackground(n, m_background[n]);

        const auto button = [&](const char* base, const char* caption) {
            auto* b = new QPushButton(QString::fromLatin1(caption), table);
            b->setObjectName(name(base));
            b->setFocusPolicy(Qt::NoFocus);
            // Narrower than the style's usual button so sixteen rows fit small windows.
            b->setMinimumWidth(b->fontMetrics().horizontalAdvance(b->text()) + 14);
            return b;
        };
        CommandReset[n] = button("CommandReset", "Reset");
        CommandTestStart[n] = button("CommandTestStart", "Start");
        CommandTestStop[n] = button("CommandTestStop", "Stop");
        CommandFull[n] = button("CommandFull", "Full Monitor");
        CommandNodeProgram[n] = button("CommandNodeProgram", "Program");
        connect(CommandReset[n], &QPushButton::clicked, this, [this, n] { emit resetClicked(n); });
        connect(CommandTestStart[n], &QPushButton::clicked, this, [this, n] { emit testStartClicked(n); });
        connect(CommandTestStop[n], &QPushButton::clicked, this, [this, n] { emit testStopClicked(n); });
        connect(CommandFull[n], &QPushButton::clicked, this, [this, n] { emit fullClicked(n); });

        grid->addWidget(LabelStationNumber[n], n, 0);
        grid->addWidget(Check1[n], n, 1, Qt::AlignCenter);
        grid->addWidget(LEDavailable[n], n, 2, Qt::AlignCenter);
        grid->addWidget(LEDstatus[n], n, 3, Qt::AlignCenter);
        grid->addWidget(TextStatus[n], n, 4);
        grid->addWidget(CommandReset[n], n, 5);
        grid->addWidget(CommandTestStart[n], n, 6);
        grid->addWidget(CommandTestStop[n], n, 7);
        grid->addWidget(CommandFull[n], n, 8);
        grid->addWidget(CommandNodeProgram[n], n, 9);
        LabelLink[n] = new QLabel(table);
        LabelLink[n]->setObjectName(name("LabelLink"));
        LabelLink[n]->installEventFilter(this);
        grid->addWidget(LabelLink[n], n, 10);
        clearRow(n);
    }
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(Rows + 1, 1);
    scroll->setWidget(table);
    root->addWidget(scroll, 1);

    auto* footer = new QHBoxLayout;
    footer->addWidget(new QLabel(QStringLiteral("Max Nodes:"), m_panel));
    HScrollNodeCheck = new QScrollBar(Qt::Horizontal, m_panel);
    HScrollNodeCheck->setObjectName(QStringLiteral("HScrollNodeCheck"));
    HScrollNodeCheck->setRange(1, Rows);
    HScrollNodeCheck->setPageStep(1);
    HScrollNodeCheck->setMinimumWidth(120);
    footer->addWidget(HScrollNodeCheck, 1);
    TextNodeCheck = new QLineEdit(m_panel);
    TextNodeCheck->setObjectName(QStringLiteral("TextNodeCheck"));
    TextNodeCheck->setReadOnly(true);
    TextNodeCheck->setMaximumWidth(48);
    footer->addWidget(TextNodeCheck);
    LabelLinkSummary = new QLabel(m_panel);
    LabelLinkSummary->setObjectName(QStringLiteral("LabelLinkSummary"));
    LabelLinkSummary->installEventFilter(this);
    footer->addWidget(LabelLinkSummary, 3);
    CommandLinkReset = new QPushButton(QStringLiteral("Reset counts"), m_panel);
    CommandLinkReset->setObjectName(QStringLiteral("CommandLinkReset"));
    CommandLinkReset->setToolTip(QStringLiteral("Start the link counts of every node again from zero"));
    footer->addWidget(CommandLinkReset);
    footer->addStretch(1);
    CommandMonitorNetwork = new QPushButton(QStringLiteral("Quit"), m_panel);
    CommandMonitorNetwork->setObjectName(QStringLiteral("CommandMonitorNetwork"));
    footer->addWidget(CommandMonitorNetwork);
    root->addLayout(footer);

    connect(HScrollNodeCheck, &QScrollBar::valueChanged, this, [this] { HScrollNodeCheck_Change(); });
    connect(CommandMonitorNetwork, &QPushButton::clicked, this, &NetworkScreen::quitClicked);
    connect(CommandLinkReset, &QPushButton::clicked, this, &NetworkScreen::linkResetClicked);
    setNodeCount(8);
}

void NetworkScreen::showLinkHealth(const LinkHealth& health)
{
    // Texts change only with a failure. The tooltips hold the whole count,
    // which changes with every reply: they are written when asked for, not
    // on every pass.
    for (int n = 1; n <= Rows; ++n) {
        const LinkCounts& c = health.node(n);
        // A node that is not watched has no line to speak of.
        const bool watched = Check1[n]->isChecked() && !Check1[n]->isHidden();
        m_linkCounts[size_t(n)] = c;
        const QString text = c.requests && watched ? QStringLiteral("%1 time-outs").arg(c.timeouts) : QString();
        if (LabelLink[n]->text() != text)
            LabelLink[n]->setText(text);
    }
    const LinkCounts t = health.total();
    m_linkCounts[0] = t;
    const QString summary =
        QStringLiteral("Link: %1 time-outs, %2 bad replies").arg(t.timeouts).arg(t.checksumFailures + t.longReplies);
    if (LabelLinkSummary->text() != summary)
        LabelLinkSummary->setText(summary);
}

bool NetworkScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        if (watched == LabelLinkSummary)
            LabelLinkSummary->setToolTip(m_linkCounts[0].summary());
        for (int n = 1; n <= Rows; ++n)
            if (watched == LabelLink[n])
                LabelLink[n]->setToolTip(m_linkCounts[size_t(n)].summary());
    }
    return QObject::eventFilter(watched, event);
}

void NetworkScreen::setNodeCount(int n)
{
    const QSignalBlocker block(HScrollNodeCheck);
    HScrollNodeCheck->setValue(n);
    HScrollNodeCheck_Change();
}

int NetworkScreen::nodeCount() const
{
    return HScrollNodeCheck->value();
}

void NetworkScreen::HScrollNodeCheck_Change()
{
    const int n = HScrollNodeCheck->value();
    TextNodeCheck->setText(QString::number(n));
    for (int node = 1; node <= Rows; ++node) {
        Check1[node]->setChecked(node <= n);
        setRowShown(node, node <= n);
    }
    emit nodeCountChanged(n);
}

void NetworkScreen::setRowShown(int node, bool shown)
{
    for (QWidget* w : std::initializer_list<QWidget*>{LEDavailable[node], LEDstatus[node], TextStatus[node],
                                                      CommandTestStart[node], CommandTestStop[node],
                                                      CommandReset[node], CommandFull[node],
                                                      CommandNodeProgram[node], LabelStationNumber[node]})
        w->setVisible(shown);
}

void NetworkScreen::UpdateQuickStatus(int node, int fault, int state)
{
    const QuickStatusView v = quickStatus(fault, state);
    LEDstatus[node]->setOnColour(lampColour(v.lamp));
    LEDstatus[node]->setOn(true);
    if (v.text && TextStatus[node]->text() != *v.text) {
        // Long texts show their beginning; the whole text is in the tool tip.
        TextStatus[node]->setText(*v.text);
        TextStatus[node]->setCursorPosition(0);
        TextStatus[node]->setToolTip(*v.text);
    }
    if (v.resetEnabled)
        CommandReset[node]->setEnabled(*v.resetEnabled);
}

void NetworkScreen::clearRow(int node)
{
    LEDavailable[node]->setOffColour(systemGrey());
    loseNode(node);
}

void NetworkScreen::loseNode(int node)
{
    LEDavailable[node]->setOn(false);
    setStatusBackground(node, QApplication::palette().color(QPalette::Button));
    TextStatus[node]->setText(QString());
    for (QPushButton* b : {CommandReset[node], CommandTestStart[node], CommandTestStop[node], CommandFull[node]})
        b->setEnabled(false);
}

void NetworkScreen::setStatusBackground(int node, const QColor& colour)
{
    m_background[node] = colour;
    QPalette pal = TextStatus[node]->palette();
    pal.setColor(QPalette::Base, colour);
    TextStatus[node]->setPalette(pal);
}

QColor NetworkScreen::statusBackground(int node) const
{
    return m_background[node];
}

} // namespace gx
