// The main window's screens, shown and hidden in place: the start screen with
// its Quick Launch buttons and picture, the monitor, the editor under its tab
// strip, the network monitor, the call log and the fleet board; exactly one
// shows at a time.

#include "formmonitor.h"

#include "artwork.h"

#include "profile/profileeditor.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QVBoxLayout>

namespace gx {

void FormMonitor::buildScreens()
{
    auto* central = new QWidget;
    central->setObjectName(QStringLiteral("central"));
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(6, 6, 6, 6);

    TabStrip1 = new QTabBar;
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    for (const QString& caption : ProfileEditor::tabCaptions())
        TabStrip1->addTab(caption);
    TabStrip1->setExpanding(false);
    connect(TabStrip1, &QTabBar::currentChanged, this, [this](int) { TabStrip1_Click(); });
    column->addWidget(TabStrip1);

    for (int i = 0; i < int(Frame1.size()); ++i) {
        Frame1[i] = new QGroupBox;
        Frame1[i]->setObjectName(QStringLiteral("Frame1(%1)").arg(i));
        Frame1[i]->setVisible(false);
        column->addWidget(Frame1[i], 1);
    }
    FrameNetMonitor = new QGroupBox(QStringLiteral("Network Monitor"));
    FrameNetMonitor->setObjectName(QStringLiteral("FrameNetMonitor"));
    FrameNetMonitor->setVisible(false);
    column->addWidget(FrameNetMonitor, 1);
    FrameLog = new QGroupBox(QStringLiteral("Call log"));
    FrameLog->setObjectName(QStringLiteral("FrameLog"));
    FrameLog->setVisible(false);
    column->addWidget(FrameLog, 1);
    FrameFleet = new QGroupBox(QStringLiteral("Fleet"));
    FrameFleet->setObjectName(QStringLiteral("FrameFleet"));
    FrameFleet->setVisible(false);
    column->addWidget(FrameFleet, 1);

    // The start screen: the four Quick Launch buttons beside a picture.
    auto* start = new QWidget;
    start->setObjectName(QStringLiteral("StartScreen"));
    auto* row = new QHBoxLayout(start);
    FrameQuickLaunch = new QGroupBox(QStringLiteral("Quick Launch"));
    FrameQuickLaunch->setObjectName(QStringLiteral("FrameQuickLaunch"));
    auto* buttons = new QVBoxLayout(FrameQuickLaunch);
    CommandLogCalls = new QPushButton(QStringLiteral("Log Calls"));
    CommandLogCalls->setObjectName(QStringLiteral("CommandLogCalls"));
    CommandMonitor = new QPushButton(QStringLiteral("Monitor"));
    CommandMonitor->setObjectName(QStringLiteral("CommandMonitor"));
    CommandProgram = new QPushButton(QStringLiteral("Program"));
    CommandProgram->setObjectName(QStringLiteral("CommandProgram"));
    CommandFleet = new QPushButton(QStringLiteral("Fleet"));
    CommandFleet->setObjectName(QStringLiteral("CommandFleet"));
    for (QPushButton* b : {CommandLogCalls, CommandMonitor, CommandProgram, CommandFleet}) {
        b->setMinimumHeight(40);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    connect(CommandMonitor, &QPushButton::clicked, this, [this] { CommandMonitor_Click(); });
    connect(CommandProgram, &QPushButton::clicked, this, [this] { CommandProgram_Click(); });
    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(artwork::generatorSet(QSize(360, 260)));
    Image1->setMinimumSize(120, 90);
    row->addWidget(FrameQuickLaunch, 0);
    row->addWidget(Image1, 1);
    column->addWidget(start, 1);

    setCentralWidget(central);
}

void FormMonitor::setStartScreenVisible(bool visible)
{
    FrameQuickLaunch->setVisible(visible);
    Image1->setVisible(visible);
    FrameQuickLaunch->parentWidget()->setVisible(visible);
}

QSize FormMonitor::firstStartSize() const
{
    QSize page;
    for (int i = 1; i < int(Frame1.size()); ++i)
        if (const auto* content = Frame1[size_t(i)]->findChild<QWidget*>(QStringLiteral("PageContent%1").arg(i)))
            page = page.expandedTo(content->sizeHint());
    if (page.isEmpty())
        return {};
    // The page inside its frame, under the tab strip and the menu bar.
    const int frame = 2 * (style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 12);
    return QSize(page.width() + frame + 16,
                 page.height() + frame + TabStrip1->sizeHint().height() + menuBar()->sizeHint().height() + 40);
}

bool FormMonitor::editorShown() const
{
    return TabStrip1->isVisibleTo(const_cast<FormMonitor*>(this));
}

void FormMonitor::showEditorScreen()
{
    showScreen(Screen::Editor);
    InProgram = true;
    menuMain->setChecked(false);
    MonitorMenu->setChecked(false);
    menuProgram->setChecked(true);
    menuSettings->menuAction()->setEnabled(false);
}

void FormMonitor::showStartScreen()
{
    showScreen(Screen::Start);
}

void FormMonitor::TabStrip1_Click()
{
    for (QGroupBox* f : Frame1)
        f->setVisible(false);
    const int page = ProfileEditor::pageOfTab(TabStrip1->tabText(TabStrip1->currentIndex()));
    if (page >= 0)
        Frame1[size_t(page)]->setVisible(true);
}

void FormMonitor::showScreen(Screen screen)
{
    Frame1[0]->setVisible(screen == Screen::Monitor);
    for (size_t i = 1; i < Frame1.size(); ++i)
        Frame1[i]->setVisible(false);
    TabStrip1->setVisible(screen == Screen::Editor);
    if (screen == Screen::Editor)
        TabStrip1_Click();
    FrameNetMonitor->setVisible(screen == Screen::Network);
    FrameLog->setVisible(screen == Screen::CallLog);
    FrameFleet->setVisible(screen == Screen::Fleet);
    setStartScreenVisible(screen == Screen::Start);
}

FormMonitor::Screen FormMonitor::screenShown() const
{
    auto* self = const_cast<FormMonitor*>(this);
    if (Frame1[0]->isVisibleTo(self))
        return Screen::Monitor;
    if (TabStrip1->isVisibleTo(self))
        return Screen::Editor;
    if (FrameNetMonitor->isVisibleTo(self))
        return Screen::Network;
    if (FrameLog->isVisibleTo(self))
        return Screen::CallLog;
    if (FrameFleet->isVisibleTo(self))
        return Screen::Fleet;
    return Screen::Start;
}

} // namespace gx
