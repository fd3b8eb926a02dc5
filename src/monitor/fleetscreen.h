#pragma once

// The fleet screen: the board of every node (filter, order, colours), the
// alert list to acknowledge, a node's service reminder, the status line, and
// the remote view, which shows one node on the live monitor's instruments fed
// from its state messages.

#include "monitor/fleetboard.h"

#include <QObject>
#include <QString>

class QCheckBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QTableView;
class QWidget;

namespace gx {

class FleetOrder;
class FleetTable;
class MonitorScreen;

class FleetScreen : public QObject {
    Q_OBJECT
public:
    // Fills `frame` (the window's Fleet frame).
    FleetScreen(QWidget* frame, FleetBoard& board);

    FleetBoard& board() const { return m_board; }
    FleetTable& table() const { return *m_table; }
    FleetOrder& order() const { return *m_order; }

    // The board's row shown on the table's `viewRow`, and the reverse (-1 for none).
    int boardRow(int viewRow) const;
    int viewRow(int boardRow) const;
    // The board's row of the table's current row, -1 for none.
    int selectedRow() const;
    void selectRow(int boardRow);

    void setStatus(const QString& text);

    // The remote view of a node (double-click on its row); Quit goes back.
    void showRemote(const QString& site, int node);
    void showBoard();
    bool remoteShown() const;
    // The remote view's instruments (made at its first showing; nullptr before).
    MonitorScreen* remote() const { return m_remote; }
    // The node the remote view shows and whether its service takes commands now.
    QString remoteSite() const { return m_remoteSite; }
    int remoteNode() const { return m_remoteNode; }
    bool remoteCommandsAllowed() const;

    // Controls, by their names.
    QLineEdit* TextFleetFilter = nullptr;
    QCheckBox* CheckAttentionFirst = nullptr;
    QPushButton* CommandFleetExport = nullptr;
    QTableView* TableFleet = nullptr;
    QListWidget* ListAlerts = nullptr;
    QPushButton* CommandAcknowledge = nullptr;
    QPushButton* CommandAcknowledgeAll = nullptr;
    QLabel* LabelReminderNode = nullptr;
    QDoubleSpinBox* SpinServiceInterval = nullptr;
    QDoubleSpinBox* SpinLastService = nullptr;
    QPushButton* CommandServicedNow = nullptr;
    QPushButton* CommandSaveReminder = nullptr;
    QLabel* LabelFleetStatus = nullptr;
    QGroupBox* FrameRemoteView = nullptr;
    QLabel* LabelRemoteAccess = nullptr;

signals:
    void exportClicked();
    void reminderSaved(const QString& site, int node, const ServiceReminder& reminder);
    // A command button or mode picture of the remote view: the name it stands for.
    void commandClicked(const QString& site, int node, const QString& name);

private:
    QWidget* buildBoard();
    void addAlert(int index);
    void refreshAlerts();
    void showReminder();
    void buildRemote();
    void refreshRemote();

    FleetBoard& m_board;
    FleetTable* m_table;
    FleetOrder* m_order;
    QStackedWidget* m_pages = nullptr;
    MonitorScreen* m_remote = nullptr;
    QString m_remoteSite;
    int m_remoteNode = -1;
};

} // namespace gx
