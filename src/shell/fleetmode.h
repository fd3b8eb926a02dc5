#pragma once

// The fleet board in the main window: View > Fleet and the Quick Launch
// button, the broker connection of the settings, the desktop notifications
// of the alerts, the service-reminder file, the CSV export and the remote
// view's commands.

#include "monitor/fleetboard.h"
#include "monitor/fleetsettings.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QTimer;

namespace gx {

class FleetScreen;
class FormMonitor;
class MqttClient;

class FleetMode : public QObject {
    Q_OBJECT
public:
    explicit FleetMode(FormMonitor& window);
    ~FleetMode() override;

    // View > Fleet and the Quick Launch button: the board shows.
    void showFleet();
    // Connects with the settings as they are now; another broker or prefix
    // starts the board afresh. Nothing waits for the broker.
    void applySettings();

    FleetBoard& board() { return m_board; }
    FleetScreen& screen() { return *m_screen; }
    MqttClient* client() const { return m_client; }

    // The folder of the service-reminder file (the user's data folder unless
    // told otherwise); the reminders are read from it again.
    void setDataFolder(const QString& folder);
    QString remindersPath() const;

    // The status line's text.
    QString statusText() const;

    // The wall-clock time of the messages taken.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

private:
    void connectBroker();
    void takeMessages();
    void dropBroker();
    void loadReminders();
    void saveReminder(const QString& site, int node, const ServiceReminder& r);
    void exportCsv();
    void sendCommand(const QString& site, int node, const QString& name);
    void queueNotification(const FleetAlert& alert);
    void flushNotifications();
    void statusChanged();

    FormMonitor& m_window;
    FleetBoard m_board;
    FleetScreen* m_screen;
    MqttClient* m_client = nullptr;
    FleetSettings m_settings;
    QString m_problem;         // of the settings or the connection
    QString m_remindersProblem;
    QString m_lastAction;      // a command sent, a file written
    QString m_dataFolder;
    QList<FleetAlert> m_pending;
    QTimer* m_notifyTimer;
    QTimer* m_statusTimer;
    QTimer* m_takeTimer;
    struct Received {
        QString topic;
        QByteArray payload;
        QDateTime when;
    };
    std::vector<Received> m_inbox;  // taken on the next turn of m_takeTimer
};

} // namespace gx
