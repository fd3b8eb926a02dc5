#pragma once

// The RS485 network overview: one row per node address 1..16 with an
// availability LED, a status LED, the status text and the node's buttons, and
// the node count ("Max Nodes:"). Clicks only raise signals; the network loop
// owns the requests, the polling and the "Node count" setting.

#include "monitor/instruments.h"
#include "link/linkhealth.h"
#include "monitor/quickstatus.h"

#include <QColor>
#include <QObject>
#include <QString>

#include <array>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace gx {


class NetworkScreen : public QObject {
    Q_OBJECT
public:
    static constexpr int Rows = 16;

    // Fills `frame` (FrameNetMonitor) with the rows and the footer.
    explicit NetworkScreen(QWidget* frame);

    QWidget* panel() const { return m_panel; }

    // Sets the scroll bar to n and applies it, whether or not it changed.
    void setNodeCount(int n);
    int nodeCount() const;
    // Shows and ticks rows 1..n, unticks and hides the rest; emits nodeCountChanged.
    void HScrollNodeCheck_Change();

    // Applies quickStatus(f, s) to the node's row.
    void UpdateQuickStatus(int node, int fault, int state);

    // Row states used by the network loop.
    // Off in the grey system colour, empty text, Reset/Start/Stop/Full disabled.
    void clearRow(int node);
    // A lost node: LED off (its off colour kept), empty text, buttons disabled.
    void loseNode(int node);
    void setStatusBackground(int node, const QColor& colour);
    QColor statusBackground(int node) const;
    QColor systemGrey() const;

    static QColor lampColour(QuickStatusView::Lamp lamp);

    // Controls by their names, indexed by node 1..16 (entry 0 is nullptr).
    std::array<LED*, Rows + 1> LEDavailable{};
    std::array<LED*, Rows + 1> LEDstatus{};
    std::array<QLineEdit*, Rows + 1> TextStatus{};
    std::array<QCheckBox*, Rows + 1> Check1{};
    std::array<QPushButton*, Rows + 1> CommandReset{};
    std::array<QPushButton*, Rows + 1> CommandTestStart{};
    std::array<QPushButton*, Rows + 1> CommandTestStop{};
    std::array<QPushButton*, Rows + 1> CommandFull{};
    std::array<QPushButton*, Rows + 1> CommandNodeProgram{};
    std::array<QLabel*, Rows + 1> LabelStationNumber{};
    QScrollBar* HScrollNodeCheck = nullptr;
    QLineEdit* TextNodeCheck = nullptr;
    QPushButton* CommandMonitorNetwork = nullptr;
    // Link health: each node's time-outs and mean reply time (its whole count
    // in the tooltip, written when the tooltip is asked for), the line's
    // summary, and a reset.
    std::array<QLabel*, Rows + 1> LabelLink{};
    QLabel* LabelLinkSummary = nullptr;
    QPushButton* CommandLinkReset = nullptr;
    void showLinkHealth(const LinkHealth& health);

signals:
    void resetClicked(int node);
    void testStartClicked(int node);
    void testStopClicked(int node);
    void fullClicked(int node);
    void quitClicked();
    void nodeCountChanged(int n);
    void linkResetClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void setRowShown(int node, bool shown);

    QWidget* m_frame;
    QWidget* m_panel = nullptr;
    std::array<QColor, Rows + 1> m_background{};
    std::array<LinkCounts, Rows + 1> m_linkCounts{};  // as last shown; entry 0 the total
};

} // namespace gx
