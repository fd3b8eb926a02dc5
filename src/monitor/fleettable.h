#pragma once

// The fleet board as a table for the screen: a row a node, its columns, the
// colours of a fault, of an offline node and of a service overdue, and the
// order and filter the user chooses (rows wanting attention first by default).

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

namespace gx {

class FleetBoard;

class FleetTable : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Site, Node, Model, State, Fault, HoursRun, Service, LastMessage, Availability, Columns };
    // The value a column sorts by (numbers as numbers).
    static constexpr int SortRole = Qt::UserRole;
    // The row's Attention, as an int (most urgent lowest).
    static constexpr int AttentionRole = Qt::UserRole + 1;

    explicit FleetTable(FleetBoard& board, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    FleetBoard& board() const { return m_board; }

private:
    QString text(int row, int column) const;
    FleetBoard& m_board;
};

// Sorting by any column, filtering on the text of every column, and with
// attentionFirst the rows in fault or offline (then overdue) ahead of the rest.
class FleetOrder : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit FleetOrder(QObject* parent = nullptr);
    void setAttentionFirst(bool on);
    bool attentionFirst() const { return m_attentionFirst; }

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    bool m_attentionFirst = true;
};

} // namespace gx
