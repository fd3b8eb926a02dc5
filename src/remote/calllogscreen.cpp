// The "Call log" screen: the answer loop's status, the log in six columns and
// the stay-connected question.

#include "remote/calllogscreen.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace gx {

CallLogScreen::CallLogScreen(QGroupBox* frame) : QObject(frame)
{
    auto* outer = new QVBoxLayout(frame);
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(new QLabel(QStringLiteral("Status:")));
    TextLogStatus = new QLineEdit;
    TextLogStatus->setObjectName(QStringLiteral("TextLogStatus"));
    TextLogStatus->setReadOnly(true);
    statusRow->addWidget(TextLogStatus, 1);
    outer->addLayout(statusRow);
    LabelLogNotice = new QLabel;
    LabelLogNotice->setObjectName(QStringLiteral("LabelLogNotice"));
    LabelLogNotice->setWordWrap(true);
    LabelLogNotice->setStyleSheet(QStringLiteral("color: #b00000;"));
    LabelLogNotice->hide();
    outer->addWidget(LabelLogNotice);

    // Six lists side by side that scroll together, one per column of the log.
    const char* headings[6] = {"Fault No.", "Received from:", "Date:", "Time:", "Hours run:", "Fault:"};
    const int stretch[6] = {1, 3, 2, 2, 2, 5};
    auto* lists = new QHBoxLayout;
    lists->setSpacing(0);
    for (int i = 0; i < 6; ++i) {
        auto* column = new QVBoxLayout;
        column->addWidget(new QLabel(QString::fromLatin1(headings[i])));
        ListLog[size_t(i)] = new QListWidget;
        ListLog[size_t(i)]->setObjectName(QStringLiteral("ListLog(%1)").arg(i));
        ListLog[size_t(i)]->setVerticalScrollBarPolicy(i == 5 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        column->addWidget(ListLog[size_t(i)], 1);
        lists->addLayout(column, stretch[i]);
    }
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j)
            if (i != j)
                connect(ListLog[size_t(i)]->verticalScrollBar(), &QScrollBar::valueChanged,
                        ListLog[size_t(j)]->verticalScrollBar(), &QScrollBar::setValue);
    outer->addLayout(lists, 1);

    FrameGoMonitor = new QGroupBox;
    FrameGoMonitor->setObjectName(QStringLiteral("FrameGoMonitor"));
    auto* question = new QHBoxLayout(FrameGoMonitor);
    question->addWidget(new QLabel(QStringLiteral("Stay connected ?")));
    LabelHangUpDelay = new QLabel(QStringLiteral("Hanging up in 10 sec"));
    LabelHangUpDelay->setObjectName(QStringLiteral("LabelHangUpDelay"));
    question->addWidget(LabelHangUpDelay, 1);
    CommandStayConnected = new QPushButton(QStringLiteral("Yes"));
    CommandStayConnected->setObjectName(QStringLiteral("CommandStayConnected"));
    CommandHangup = new QPushButton(QStringLiteral("Hang up now"));
    CommandHangup->setObjectName(QStringLiteral("CommandHangup"));
    question->addWidget(CommandStayConnected);
    question->addWidget(CommandHangup);
    FrameGoMonitor->hide();

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(FrameGoMonitor, 1);
    bottom->addStretch(0);
    CommandQuitLog = new QPushButton(QStringLiteral("Quit Log"));
    CommandQuitLog->setObjectName(QStringLiteral("CommandQuitLog"));
    bottom->addWidget(CommandQuitLog, 0, Qt::AlignRight);
    outer->addLayout(bottom);

    connect(CommandQuitLog, &QPushButton::clicked, this, &CallLogScreen::quitClicked);
    connect(CommandStayConnected, &QPushButton::clicked, this, &CallLogScreen::stayConnectedClicked);
    connect(CommandHangup, &QPushButton::clicked, this, &CallLogScreen::hangupClicked);
}

void CallLogScreen::setStatus(const QString& text)
{
    TextLogStatus->setText(text);
}

void CallLogScreen::showRecords(const QStringList& recordLines)
{
    for (QListWidget* l : ListLog)
        l->clear();
    for (const QString& line : recordLines) {
        const calllog::Columns c = calllog::columns(line);
        const QString cells[6] = {c.number, c.site, c.date, c.time, c.hours, c.fault};
        for (int i = 0; i < 6; ++i)
            ListLog[size_t(i)]->addItem(cells[i]);
    }
}

void CallLogScreen::showStayConnected(bool shown)
{
    FrameGoMonitor->setVisible(shown);
}

void CallLogScreen::setCountdown(const QString& text)
{
    LabelHangUpDelay->setText(text);
}

void CallLogScreen::setNotice(const QString& text)
{
    LabelLogNotice->setText(text);
    LabelLogNotice->setVisible(!text.isEmpty());
}

} // namespace gx
