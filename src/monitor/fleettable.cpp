// The fleet board's table model: texts, colours and sort values of each node, and the board's order and filter.

#include "monitor/fleettable.h"

#include "monitor/fleetboard.h"

#include <QColor>
#include <QFont>

namespace gx {

namespace {
const QColor Red(190, 0, 0);
const QColor FaultBack(255, 228, 228);
const QColor Grey(140, 140, 140);
const QColor OverdueText(150, 80, 0);
const QColor OverdueBack(255, 238, 200);
} // namespace

FleetTable::FleetTable(FleetBoard& board, QObject* parent) : QAbstractTableModel(parent), m_board(board)
{
    connect(&board, &FleetBoard::nodeAboutToBeAdded, this, [this](int row) { beginInsertRows({}, row, row); });
    connect(&board, &FleetBoard::nodeAdded, this, [this](int) { endInsertRows(); });
    connect(&board, &FleetBoard::nodeAboutToBeRemoved, this, [this](int row) { beginRemoveRows({}, row, row); });
    connect(&board, &FleetBoard::nodeRemoved, this, [this](int) { endRemoveRows(); });
    connect(&board, &FleetBoard::nodeChanged, this,
            [this](int row) { emit dataChanged(index(row, 0), index(row, Columns - 1)); });
}

int FleetTable::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_board.size();
}

int FleetTable::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Columns;
}

QVariant FleetTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const titles[Columns] = {"Site",     "Node",    "Model",        "State",       "Fault",
                                                "Hours run", "Service", "Last message", "Availability"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= Columns)
        return {};
    return QString::fromLatin1(titles[section]);
}

QString FleetTable::text(int row, int column) const
{
    const FleetNode& n = m_board.node(row);
    switch (column) {
    case Site: return n.site;
    case Node: return QString::number(n.node);
    case Model:
        return n.hasInfo ? QStringLiteral("%1 V%2").arg(n.info.model.isEmpty() ? QStringLiteral("GX") : n.info.model,
                                                         n.info.firmware)
                         : QString();
    case State: return n.hasState ? n.status.stateText : QString();
    case Fault:
        return n.hasState && n.status.faultCode ? QStringLiteral("%1 (%2)").arg(n.status.faultText).arg(n.status.faultCode)
                                                : QString();
    case HoursRun: return n.hasState ? QString::number(n.status.hoursRun, 'f', 1) : QString();
    case Service: return serviceDueText(m_board.serviceDueIn(row));
    case LastMessage: {
        // The time alone for today's; the date too for older ones.
        const QDateTime t = n.lastMessage.toLocalTime();
        if (!t.isValid())
            return QString();
        return t.toString(t.date() == QDate::currentDate() ? QStringLiteral("HH:mm:ss") : QStringLiteral("yyyy-MM-dd HH:mm"));
    }
    case Availability: return m_board.availabilityText(row);
    }
    return QString();
}

QVariant FleetTable::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_board.size())
        return {};
    const int row = index.row(), column = index.column();
    const FleetNode& n = m_board.node(row);
    const Attention a = m_board.attention(row);
    const bool grey = a == Attention::ServiceOffline || a == Attention::Offline;
    switch (role) {
    case Qt::DisplayRole: return text(row, column);
    case SortRole:
        switch (column) {
        case Node: return n.node;
        case HoursRun: return n.hasState ? n.status.hoursRun : -1.0;
        case Service: {
            const auto due = m_board.serviceDueIn(row);
            return due ? *due : 1e12;
        }
        case LastMessage: return n.lastMessage;
        default: return text(row, column).toLower();
        }
    case AttentionRole: return int(a);
    case Qt::ForegroundRole:
        if (grey)
            return Grey;
        if (column == Fault && a == Attention::Fault)
            return Red;
        if (column == Service && a == Attention::ServiceOverdue)
            return OverdueText;
        return {};
    case Qt::BackgroundRole:
        if (!grey && a == Attention::Fault)
            return FaultBack;
        if (column == Service && a == Attention::ServiceOverdue)
            return OverdueBack;
        return {};
    case Qt::FontRole:
        if (!grey && ((column == Fault && a == Attention::Fault) || (column == Service && a == Attention::ServiceOverdue))) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::ToolTipRole:
        if (column == Fault || column == Service)
            return text(row, column);
        if (column == Model && n.hasInfo)
            return QStringLiteral("%1, site name \"%2\"; commands: %3")
                .arg(n.info.unitId, n.info.siteName,
                     n.info.commands.isEmpty() ? QStringLiteral("none (read-only)") : n.info.commands.join(", "));
        return {};
    default: return {};
    }
}

FleetOrder::FleetOrder(QObject* parent) : QSortFilterProxyModel(parent)
{
    setFilterCaseSensitivity(Qt::CaseInsensitive);
    setFilterKeyColumn(-1);
    setSortRole(FleetTable::SortRole);
    setDynamicSortFilter(true);
}

void FleetOrder::setAttentionFirst(bool on)
{
    if (m_attentionFirst == on)
        return;
    m_attentionFirst = on;
    invalidate();
}

bool FleetOrder::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    auto* m = sourceModel();
    if (m_attentionFirst) {
        const int a = m->data(left, FleetTable::AttentionRole).toInt(), b = m->data(right, FleetTable::AttentionRole).toInt();
        if (a != b)  // whichever way the column sorts, the urgent rows stay on top
            return sortOrder() == Qt::AscendingOrder ? a < b : a > b;
    }
    const QVariant l = m->data(left, FleetTable::SortRole), r = m->data(right, FleetTable::SortRole);
    const int c = QVariant::compare(l, r) == QPartialOrdering::Less ? -1 : QVariant::compare(l, r) == QPartialOrdering::Greater ? 1 : 0;
    if (c != 0)
        return c < 0;
    // Ties: site, then node.
    const QModelIndex ls = left.siblingAtColumn(FleetTable::Site), rs = right.siblingAtColumn(FleetTable::Site);
    const int sites = QString::compare(m->data(ls).toString(), m->data(rs).toString(), Qt::CaseInsensitive);
    if (sites != 0)
        return sites < 0;
    return m->data(left.siblingAtColumn(FleetTable::Node), FleetTable::SortRole).toInt()
           < m->data(right.siblingAtColumn(FleetTable::Node), FleetTable::SortRole).toInt();
}

} // namespace gx
