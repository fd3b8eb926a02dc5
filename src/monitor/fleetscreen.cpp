// The fleet screen's widgets: board, alerts, service reminder, status line and the remote view.

#include "monitor/fleetscreen.h"

#include "monitor/controlcommands.h"
#include "monitor/fleettable.h"
#include "monitor/instruments.h"
#include "monitor/monitorscreen.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace gx {

namespace {

QPushButton* button(const char* name, const QString& caption, QWidget* parent = nullptr)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QDoubleSpinBox* hoursBox(const char* name)
{
    auto* s = new QDoubleSpinBox;
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(0, 999999.9);
    s->setDecimals(1);
    s->setSuffix(QStringLiteral(" h"));
    return s;
}

} // namespace

FleetScreen::FleetScreen(QWidget* frame, FleetBoard& board)
    : QObject(frame), m_board(board), m_table(new FleetTable(board, this)), m_order(new FleetOrder(this))
{
    m_order->setSourceModel(m_table);
    auto* outer = frame->layout() ? static_cast<QVBoxLayout*>(frame->layout()) : new QVBoxLayout(frame);
    m_pages = new QStackedWidget(frame);
    m_pages->addWidget(buildBoard());
    FrameRemoteView = new QGroupBox(frame);
    FrameRemoteView->setObjectName(QStringLiteral("FrameRemoteView"));
    m_pages->addWidget(FrameRemoteView);
    outer->addWidget(m_pages, 1);
    LabelFleetStatus = new QLabel(frame);
    LabelFleetStatus->setObjectName(QStringLiteral("LabelFleetStatus"));
    LabelFleetStatus->setTextFormat(Qt::PlainText);
    LabelFleetStatus->setFrameShape(QFrame::StyledPanel);
    outer->addWidget(LabelFleetStatus);

    connect(&board, &FleetBoard::alertRaised, this, [this] { addAlert(int(m_board.alerts().size()) - 1); });
    connect(&board, &FleetBoard::alertsChanged, this, &FleetScreen::refreshAlerts);
    connect(&board, &FleetBoard::nodeChanged, this, [this](int row) {
        const FleetNode& n = m_board.node(row);
        if (remoteShown() && n.site == m_remoteSite && n.node == m_remoteNode)
            refreshRemote();
        if (row == selectedRow())
            showReminder();
    });
}

QWidget* FleetScreen::buildBoard()
{
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Filter:")));
    TextFleetFilter = new QLineEdit;
    TextFleetFilter->setObjectName(QStringLiteral("TextFleetFilter"));
    TextFleetFilter->setPlaceholderText(QStringLiteral("site, node, state, fault ..."));
    TextFleetFilter->setClearButtonEnabled(true);
    top->addWidget(TextFleetFilter, 1);
    CheckAttentionFirst = new QCheckBox(QStringLiteral("Faults and offline first"));
    CheckAttentionFirst->setObjectName(QStringLiteral("CheckAttentionFirst"));
    CheckAttentionFirst->setChecked(true);
    top->addWidget(CheckAttentionFirst);
    top->addStretch(1);
    CommandFleetExport = button("CommandFleetExport", QStringLiteral("Export CSV..."));
    top->addWidget(CommandFleetExport);
    column->addLayout(top);

    auto* split = new QSplitter(Qt::Vertical);
    TableFleet = new QTableView;
    TableFleet->setObjectName(QStringLiteral("TableFleet"));
    TableFleet->setModel(m_order);
    TableFleet->setSortingEnabled(true);
    TableFleet->sortByColumn(FleetTable::Site, Qt::AscendingOrder);
    TableFleet->setSelectionBehavior(QAbstractItemView::SelectRows);
    TableFleet->setSelectionMode(QAbstractItemView::SingleSelection);
    TableFleet->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TableFleet->setAlternatingRowColors(true);
    TableFleet->verticalHeader()->hide();
    TableFleet->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    TableFleet->setWordWrap(false);
    // Widths from the longest texts a column takes; the fault's text takes what is left.
    const QFontMetrics fm(TableFleet->font());
    const struct {
        int column;
        const char* widest;
    } widths[] = {{FleetTable::Site, "Site_name_12"}, {FleetTable::Node, "Node"}, {FleetTable::Model, "GX520 V2.01"},
                  {FleetTable::State, "Running off load"}, {FleetTable::HoursRun, "Hours run"},
                  {FleetTable::Service, "service overdue by 999 h"}, {FleetTable::LastMessage, "2026-12-07 20:24"},
                  {FleetTable::Availability, "service offline"}};
    for (const auto& w : widths)
        TableFleet->setColumnWidth(w.column, fm.horizontalAdvance(QString::fromLatin1(w.widest)) + 24);
    TableFleet->horizontalHeader()->setSectionResizeMode(FleetTable::Fault, QHeaderView::Stretch);
    TableFleet->horizontalHeader()->setMinimumSectionSize(fm.horizontalAdvance(QStringLiteral("Node")) + 20);
    TableFleet->setToolTip(QStringLiteral("Double-click a row for its remote view"));
    split->addWidget(TableFleet);

    auto* lower = new QWidget;
    auto* row = new QHBoxLayout(lower);
    row->setContentsMargins(0, 0, 0, 0);
    auto* alerts = new QGroupBox(QStringLiteral("Alerts"));
    alerts->setObjectName(QStringLiteral("FrameAlerts"));
    auto* al = new QVBoxLayout(alerts);
    ListAlerts = new QListWidget;
    ListAlerts->setObjectName(QStringLiteral("ListAlerts"));
    ListAlerts->setSelectionMode(QAbstractItemView::ExtendedSelection);
    al->addWidget(ListAlerts, 1);
    auto* ab = new QHBoxLayout;
    CommandAcknowledge = button("CommandAcknowledge", QStringLiteral("Acknowledge"));
    CommandAcknowledgeAll = button("CommandAcknowledgeAll", QStringLiteral("Acknowledge all"));
    ab->addWidget(CommandAcknowledge);
    ab->addWidget(CommandAcknowledgeAll);
    ab->addStretch(1);
    al->addLayout(ab);
    row->addWidget(alerts, 3);

    auto* reminder = new QGroupBox(QStringLiteral("Service reminder"));
    reminder->setObjectName(QStringLiteral("FrameReminder"));
    auto* form = new QFormLayout(reminder);
    LabelReminderNode = new QLabel(QStringLiteral("Choose a node on the board"));
    LabelReminderNode->setObjectName(QStringLiteral("LabelReminderNode"));
    form->addRow(LabelReminderNode);
    SpinServiceInterval = hoursBox("SpinServiceInterval");
    SpinServiceInterval->setToolTip(QStringLiteral("Hours run between services; 0: no reminder"));
    SpinLastService = hoursBox("SpinLastService");
    form->addRow(QStringLiteral("Service every:"), SpinServiceInterval);
    form->addRow(QStringLiteral("Hours run at the last service:"), SpinLastService);
    auto* rb = new QHBoxLayout;
    CommandServicedNow = button("CommandServicedNow", QStringLiteral("Serviced now"));
    CommandServicedNow->setToolTip(QStringLiteral("The hours run now as those of the last service"));
    CommandSaveReminder = button("CommandSaveReminder", QStringLiteral("Save"));
    rb->addWidget(CommandServicedNow);
    rb->addWidget(CommandSaveReminder);
    rb->addStretch(1);
    form->addRow(rb);
    row->addWidget(reminder, 2);
    split->addWidget(lower);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    column->addWidget(split, 1);

    connect(TextFleetFilter, &QLineEdit::textChanged, m_order, &QSortFilterProxyModel::setFilterFixedString);
    connect(CheckAttentionFirst, &QCheckBox::toggled, m_order, &FleetOrder::setAttentionFirst);
    connect(CommandFleetExport, &QPushButton::clicked, this, &FleetScreen::exportClicked);
    connect(TableFleet, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        const int r = boardRow(index.row());
        if (r >= 0)
            showRemote(m_board.node(r).site, m_board.node(r).node);
    });
    connect(TableFleet->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &FleetScreen::showReminder);
    connect(CommandAcknowledge, &QPushButton::clicked, this, [this] {
        for (QListWidgetItem* item : ListAlerts->selectedItems())
            m_board.acknowledge(item->data(Qt::UserRole).toInt());
    });
    connect(CommandAcknowledgeAll, &QPushButton::clicked, this, [this] { m_board.acknowledgeAll(); });
    connect(CommandServicedNow, &QPushButton::clicked, this, [this] {
        const int r = selectedRow();
        if (r >= 0 && m_board.node(r).hasState)
            SpinLastService->setValue(m_board.node(r).status.hoursRun);
    });
    connect(CommandSaveReminder, &QPushButton::clicked, this, [this] {
        const int r = selectedRow();
        if (r >= 0)
            emit reminderSaved(m_board.node(r).site, m_board.node(r).node,
                               {SpinServiceInterval->value(), SpinLastService->value()});
    });
    showReminder();
    return page;
}

int FleetScreen::boardRow(int viewRow) const
{
    const QModelIndex i = m_order->mapToSource(m_order->index(viewRow, 0));
    return i.isValid() ? i.row() : -1;
}

int FleetScreen::viewRow(int boardRow) const
{
    const QModelIndex i = m_order->mapFromSource(m_table->index(boardRow, 0));
    return i.isValid() ? i.row() : -1;
}

int FleetScreen::selectedRow() const
{
    const QModelIndex current = TableFleet->selectionModel()->currentIndex();
    return current.isValid() ? boardRow(current.row()) : -1;
}

void FleetScreen::selectRow(int boardRow)
{
    const int v = viewRow(boardRow);
    if (v >= 0)
        TableFleet->selectRow(v);
}

void FleetScreen::setStatus(const QString& text)
{
    if (LabelFleetStatus->text() != text)
        LabelFleetStatus->setText(text);
}

// ---------------------------------------------------------------- alerts

void FleetScreen::addAlert(int index)
{
    // Newest on top; unacknowledged in bold.
    auto* item = new QListWidgetItem(m_board.alerts()[index].line());
    item->setData(Qt::UserRole, index);
    QFont f = item->font();
    f.setBold(true);
    item->setFont(f);
    const auto kind = m_board.alerts()[index].kind;
    if (kind == FleetAlert::Kind::FaultCame || kind == FleetAlert::Kind::Offline
        || kind == FleetAlert::Kind::ServiceOffline)
        item->setForeground(QColor(170, 0, 0));
    ListAlerts->insertItem(0, item);
}

void FleetScreen::refreshAlerts()
{
    if (ListAlerts->count() != m_board.alerts().size()) {
        ListAlerts->clear();
        for (int i = 0; i < m_board.alerts().size(); ++i)
            addAlert(i);
    }
    for (int i = 0; i < ListAlerts->count(); ++i) {
        QListWidgetItem* item = ListAlerts->item(i);
        QFont f = item->font();
        f.setBold(!m_board.alerts()[item->data(Qt::UserRole).toInt()].acknowledged);
        item->setFont(f);
    }
}

// ---------------------------------------------------------------- reminders

void FleetScreen::showReminder()
{
    const int r = selectedRow();
    for (QWidget* w : {static_cast<QWidget*>(SpinServiceInterval), static_cast<QWidget*>(SpinLastService),
                       static_cast<QWidget*>(CommandServicedNow), static_cast<QWidget*>(CommandSaveReminder)})
        w->setEnabled(r >= 0);
    if (r < 0) {
        LabelReminderNode->setText(QStringLiteral("Choose a node on the board"));
        return;
    }
    const FleetNode& n = m_board.node(r);
    LabelReminderNode->setText(n.hasState ? QStringLiteral("%1: %2 h run").arg(fleetNodeName(n.site, n.node))
                                                .arg(n.status.hoursRun, 0, 'f', 1)
                                          : fleetNodeName(n.site, n.node));
    // The boxes show the stored reminder of a node newly chosen, not while being typed in.
    static const char* Shown = "shownNode";
    const QString key = nodeKey(n.site, n.node);
    if (LabelReminderNode->property(Shown).toString() != key) {
        LabelReminderNode->setProperty(Shown, key);
        const ServiceReminder rem = m_board.reminder(r);
        SpinServiceInterval->setValue(rem.interval);
        SpinLastService->setValue(rem.lastService);
    }
}

// ---------------------------------------------------------------- remote view

void FleetScreen::buildRemote()
{
    auto* layout = new QVBoxLayout(FrameRemoteView);
    layout->setContentsMargins(4, 4, 4, 4);
    LabelRemoteAccess = new QLabel;
    LabelRemoteAccess->setObjectName(QStringLiteral("LabelRemoteAccess"));
    LabelRemoteAccess->setTextFormat(Qt::PlainText);
    layout->addWidget(LabelRemoteAccess);
    auto* instruments = new QWidget;
    instruments->setObjectName(QStringLiteral("RemoteInstruments"));
    new QVBoxLayout(instruments);
    layout->addWidget(instruments, 1);
    m_remote = new MonitorScreen(instruments);
    m_remote->beep = [] {};
    // The line's own tools (trends, logging, link counts) belong to the serial monitor.
    for (QWidget* w : {static_cast<QWidget*>(m_remote->CommandTrend), static_cast<QWidget*>(m_remote->CheckLogging),
                       static_cast<QWidget*>(m_remote->CommandLogFolder), static_cast<QWidget*>(m_remote->CommandLinkReset),
                       static_cast<QWidget*>(m_remote->LabelLinkHealth)})
        w->hide();
    connect(m_remote, &MonitorScreen::commandClicked, this, [this](int index) {
        if (index == 8) {
            showBoard();
            return;
        }
        const QString name = remoteNameOfButton(index);
        if (!name.isEmpty() && remoteCommandsAllowed())
            emit commandClicked(m_remoteSite, m_remoteNode, name);
    });
    connect(m_remote, &MonitorScreen::imageClicked, this, [this](int index) {
        const int r = m_board.rowOf(m_remoteSite, m_remoteNode);
        const QString name = r < 0 ? QString() : remoteNameOfImage(index, m_board.node(r).status.mode == "MAN");
        if (!name.isEmpty() && remoteCommandsAllowed())
            emit commandClicked(m_remoteSite, m_remoteNode, name);
    });
}

void FleetScreen::showRemote(const QString& site, int node)
{
    const int r = m_board.rowOf(site, node);
    if (r < 0)
        return;
    if (!m_remote)
        buildRemote();
    m_remoteSite = site;
    m_remoteNode = node;
    const FleetNode& n = m_board.node(r);
    m_remote->setUp(remoteScreenSetup(n.hasInfo ? n.info.siteName : site), QColor(80, 80, 80));
    m_remote->setUnitId(n.hasInfo ? n.info.unitId : QString());
    // Neither input 1 nor the charge alarm is in the state messages.
    m_remote->Label1[6]->setEnabled(false);
    m_remote->LEDinputs->label(1)->setEnabled(false);
    m_pages->setCurrentWidget(FrameRemoteView);
    refreshRemote();
}

void FleetScreen::showBoard()
{
    m_pages->setCurrentIndex(0);
    m_remoteSite.clear();
    m_remoteNode = -1;
}

bool FleetScreen::remoteShown() const
{
    return m_pages->currentWidget() == FrameRemoteView;
}

bool FleetScreen::remoteCommandsAllowed() const
{
    const int r = m_board.rowOf(m_remoteSite, m_remoteNode);
    return remoteShown() && r >= 0 && m_board.live(r) && m_board.node(r).hasInfo
           && !m_board.node(r).info.commands.isEmpty();
}

void FleetScreen::refreshRemote()
{
    const int r = m_board.rowOf(m_remoteSite, m_remoteNode);
    if (r < 0) {
        showBoard();  // the node has left the board
        return;
    }
    const FleetNode& n = m_board.node(r);
    const bool live = m_board.live(r);
    const QStringList allowed = n.hasInfo ? n.info.commands : QStringList();
    const bool commands = remoteCommandsAllowed();
    FrameRemoteView->setTitle(QStringLiteral("Remote view: %1%2").arg(fleetNodeName(n.site, n.node),
                                                                       live ? QString() : QStringLiteral(" (") + m_board.availabilityText(r) + QLatin1Char(')')));
    LabelRemoteAccess->setText(
        commands ? QStringLiteral("Commands its service allows: %1. Each asks before it is sent.").arg(allowed.join(", "))
        : !live  ? QStringLiteral("Read-only: the node is not online; the readings are the last it sent.")
                 : QStringLiteral("Read-only: the service of %1 allows no commands.").arg(n.site));
    const bool inMan = n.status.mode == QLatin1String("MAN");
    for (int i = 0; i < 9; ++i)
        m_remote->CommandControl[size_t(i)]->setEnabled(
            i == 8 || (commands && allowed.contains(remoteNameOfButton(i)) && !remoteNameOfButton(i).isEmpty()));
    for (int i = 0; i < 3; ++i)
        m_remote->ImageButton[size_t(i)]->setEnabled(commands && !remoteNameOfImage(i, inMan).isEmpty()
                                                     && allowed.contains(remoteNameOfImage(i, inMan)));
    if (n.hasState) {
        m_remote->beat();
        m_remote->show(pollViewOf(n.status));
    }
    m_remote->ShapeComStatus->setVisible(live);
}

} // namespace gx
