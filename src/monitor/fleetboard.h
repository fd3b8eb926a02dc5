#pragma once

// The fleet board without widgets: every node the broker carries, from the
// messages of each site's service (state, availability, fault, info and the
// service's own status), the alerts they raise, the service reminders by run
// hours and the board as CSV.

#include "monitor/statemessages.h"
#include "monitor/statussummary.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>

#include <optional>
#include <vector>

namespace gx {

// ---------------------------------------------------------------- reminders

// A node's service by run hours.
struct ServiceReminder {
    double interval = 0.0;     // hours between services; 0: none set
    double lastService = 0.0;  // hours run at the last service
    bool operator==(const ServiceReminder&) const = default;
};

// Every node's reminder by nodeKey(site, node).
using ReminderMap = QMap<QString, ServiceReminder>;
QString nodeKey(const QString& site, int node);

// The reminder file: {"reminders": [{"site": "north", "node": 1,
// "interval_h": 250, "last_service_h": 1000.5}, ...]}. Read whole or not at
// all: nothing, with the first thing wrong in *why.
QByteArray remindersFile(const ReminderMap& reminders);
std::optional<ReminderMap> readRemindersFile(const QByteArray& bytes, QString* why = nullptr);

// Hours to the next service (0 or less: due or overdue); nothing without an interval.
std::optional<double> serviceDueIn(const ServiceReminder& r, double hoursRun);
// "service due in 37 h", "service due now", "service overdue by 12 h"; "" for nothing.
QString serviceDueText(std::optional<double> dueIn);

// ---------------------------------------------------------------- the board

struct FleetNode {
    enum class Availability { Unknown, Online, Offline };
    QString site;
    int node = 0;
    bool hasState = false;
    StatusSummary status;
    bool hasInfo = false;
    InfoMessage info;
    Availability availability = Availability::Unknown;
    QDateTime lastMessage;  // the time of its last state or fault message
    // The fault the alerts have told of, so that a fault message and the
    // state that shows the same fault make one alert.
    int alertedFault = 0;
    QString alertedFaultText;
};

// Why a row wants attention, most urgent first: the board's default order.
enum class Attention { Fault, ServiceOffline, Offline, ServiceOverdue, None };

struct FleetAlert {
    enum class Kind { FaultCame, FaultCleared, Offline, Online, ServiceOffline, ServiceOnline };
    Kind kind = Kind::FaultCame;
    QDateTime time;
    QString site;
    int node = -1;  // -1: the site's service
    int code = 0;
    QString text;
    bool standing = false;  // found so on connecting, not seen to change
    bool acknowledged = false;
    // "North yard node 2: fault 17 came: Low oil pressure shutdown"
    QString what() const;
    // The alert list's line: the local time and what.
    QString line() const;
};

// "north node 2", or "north" for the direct line (node 0).
QString fleetNodeName(const QString& site, int node);

class FleetBoard : public QObject {
    Q_OBJECT
public:
    explicit FleetBoard(QObject* parent = nullptr);

    void setPrefix(const QString& prefix);
    QString prefix() const { return m_prefix; }

    // One message from the broker, taken at `now`. False when it was ignored
    // (a topic of another shape, a payload that is not what the topic carries):
    // counted, with the last one kept.
    bool take(const QString& topic, const QByteArray& payload, const QDateTime& now);
    // Forgets every node, site, alert and count (another broker).
    void clear();

    int size() const { return int(m_nodes.size()); }
    const FleetNode& node(int row) const { return m_nodes[size_t(row)]; }
    // -1 when the board has no such node.
    int rowOf(const QString& site, int node) const;
    int siteCount() const;
    // A site whose service said "offline" (or left its will).
    bool serviceOffline(const QString& site) const;
    // Online and its service too: its readings are live.
    bool live(int row) const;
    // "online", "offline", "service offline"; "" while not known.
    QString availabilityText(int row) const;
    Attention attention(int row) const;

    int ignored() const { return m_ignored; }
    QString lastIgnored() const { return m_lastIgnored; }

    // Newest last.
    const QList<FleetAlert>& alerts() const { return m_alerts; }
    int unacknowledged() const;
    void acknowledge(int index);
    void acknowledgeAll();

    const ReminderMap& reminders() const { return m_reminders; }
    void setReminders(const ReminderMap& reminders);
    void setReminder(const QString& site, int node, const ServiceReminder& r);
    ServiceReminder reminder(int row) const;
    std::optional<double> serviceDueIn(int row) const;

    // The board as CSV, as the data log writes: a header line, then a row a
    // node (in the board's order), times in ISO 8601 with the offset from UTC.
    QString csv() const;

signals:
    void nodeAboutToBeAdded(int row);
    void nodeAdded(int row);
    void nodeChanged(int row);
    void nodeAboutToBeRemoved(int row);
    void nodeRemoved(int row);
    void alertRaised(const FleetAlert& alert);
    void alertsChanged();
    void ignoredChanged();

private:
    int ensureNode(const QString& site, int node);
    void removeNode(int row);
    void takeState(int row, const StateMessage& m);
    void takeFault(int row, const FaultMessage& f);
    void faultNow(int row, int code, const QString& text, const QDateTime& when, bool standing);
    void takeAvailability(int row, bool online, const QDateTime& now);
    void takeServiceStatus(const QString& site, bool online, const QDateTime& now);
    void raise(FleetAlert a);
    void siteChanged(const QString& site);

    QString m_prefix = QStringLiteral("gx520");
    std::vector<FleetNode> m_nodes;
    QHash<QString, int> m_rows;            // nodeKey to row
    QMap<QString, bool> m_serviceOnline;   // by site, once known
    QList<FleetAlert> m_alerts;
    ReminderMap m_reminders;
    int m_ignored = 0;
    QString m_lastIgnored;
};

} // namespace gx
