#pragma once

// Monitoring from "Monitor": the single-unit live monitor and the RS485 network monitor with their loops.

#include "link/timerreadout.h"
#include "monitor/datalogger.h"
#include "monitor/lcd.h"
#include "monitor/statusrecord.h"
#include "monitor/trendbuffer.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <memory>

namespace gx {

class FormMonitor;
class Link;
class MonitorScreen;
class NetworkScreen;
class TrendWindow;

// Monitoring as the user starts it from "Monitor": identification, then either
// the single-unit live monitor with its polling loop, or the RS485 network
// monitor polling nodes 1 to 15 and handing one node over to the live monitor.
// Both loops run on the user-interface thread and yield on every turn; buttons
// clicked meanwhile only set flags or queue a command for the loop.
class Monitoring : public QObject {
    Q_OBJECT
public:
    explicit Monitoring(FormMonitor& window);
    ~Monitoring() override;

    void Check510520();
    void startMonitor();
    void UpdateMonitor();

    // Control commands of the live monitor.
    void CommandControl_Click(int Index);
    void ImageButton_Click(int Index);

    // The network monitor.
    void MonitorNetwork();
    void GetQuickStatus(int node);
    void UpdateQuickStatus(int node);
    // Probes the next missing watched node, if any; true when it did.
    bool CheckForNewNodes();
    void CheckNodeAvailable(int node);
    void ResetGX520(int node);
    void StartGX520(int node);
    void StopGX520(int node);
    void CommandMonitorNetwork_Click();

    MonitorScreen& screen() { return *m_screen; }
    NetworkScreen& network() { return *m_network; }

    // Live-monitor state.
    StatusRecord record;
    ScreenSetup setup;
    int Toggle = 0;
    QByteArray NetworkRequest;
    TimerReadout timers;

    // The readings kept for the trend view, and the CSV data log.
    TrendBuffer trend;
    DataLogger logger;
    bool logging = false;
    TrendWindow* trendWindow() const;
    void showTrends();
    void setLogging(bool on);
    void chooseLogFolder();

    // Polls and network passes made since the program started (for diagnostics).
    long polls = 0;
    long passes = 0;

    // Network-monitor state, indexed by node address 0..16.
    int LastAddress = 0;
    bool FullMonitor = false;
    std::array<std::array<uint8_t, 8>, 17> QuickStatus{};
    std::array<int, 17> MissCount{};
    std::array<bool, 17> ResetRequest{}, TestStartRequest{}, TestStopRequest{}, FullRequest{};

private:
    void sendPendingNetworkCommand();
    void sendNodeCommand(int node, int switchNumber);
    void showNetworkFrame(bool shown);
    void recordPoll(const PollView& view);

    FormMonitor& m_window;
    Link& m_link;
    // Both belong to the frames they fill.
    MonitorScreen* m_screen;
    NetworkScreen* m_network;
    QPointer<TrendWindow> m_trend;
    double m_lastTrendDraw = -1e9;
};

} // namespace gx
