// The fleet board's nodes, alerts, service reminders and CSV, from the messages of the sites' services.

#include "monitor/fleetboard.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace gx {

// ---------------------------------------------------------------- reminders

QString nodeKey(const QString& site, int node)
{
    return site + QLatin1Char('/') + QString::number(node);
}

QByteArray remindersFile(const ReminderMap& reminders)
{
    QJsonArray list;
    for (auto it = reminders.cbegin(); it != reminders.cend(); ++it)
        list.append(QJsonObject{{"site", it.key().section(QLatin1Char('/'), 0, -2)},
                                {"node", it.key().section(QLatin1Char('/'), -1).toInt()},
                                {"interval_h", it->interval},
                                {"last_service_h", it->lastService}});
    return QJsonDocument(QJsonObject{{"reminders", list}}).toJson(QJsonDocument::Indented);
}

std::optional<ReminderMap> readRemindersFile(const QByteArray& bytes, QString* why)
{
    auto refuse = [why](const QString& text) {
        if (why)
            *why = text;
        return std::nullopt;
    };
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return refuse(QStringLiteral("not JSON: ") + error.errorString());
    if (!doc.isObject() || !doc.object().value(QLatin1String("reminders")).isArray())
        return refuse(QStringLiteral("no list of \"reminders\""));
    ReminderMap out;
    const QJsonArray list = doc.object().value(QLatin1String("reminders")).toArray();
    for (int i = 0; i < list.size(); ++i) {
        const QJsonObject o = list[i].toObject();
        const QString site = o.value(QLatin1String("site")).toString();
        const QJsonValue node = o.value(QLatin1String("node")), interval = o.value(QLatin1String("interval_h")),
                         last = o.value(QLatin1String("last_service_h"));
        const QString which = QStringLiteral("reminder %1: ").arg(i + 1);
        if (!list[i].isObject() || !isTopicSafe(site))
            return refuse(which + QStringLiteral("\"site\" is not a site name"));
        if (!node.isDouble() || node.toDouble() != std::floor(node.toDouble()) || node.toDouble() < 0
            || node.toDouble() > 16)
            return refuse(which + QStringLiteral("\"node\" is not a node address 0 to 16"));
        if (!interval.isDouble() || !std::isfinite(interval.toDouble()) || interval.toDouble() < 0)
            return refuse(which + QStringLiteral("\"interval_h\" is not a number of hours"));
        if (!last.isDouble() || !std::isfinite(last.toDouble()) || last.toDouble() < 0)
            return refuse(which + QStringLiteral("\"last_service_h\" is not a number of hours"));
        const QString key = nodeKey(site, node.toInt());
        if (out.contains(key))
            return refuse(which + QStringLiteral("%1 is given twice").arg(fleetNodeName(site, node.toInt())));
        out.insert(key, {interval.toDouble(), last.toDouble()});
    }
    return out;
}

std::optional<double> serviceDueIn(const ServiceReminder& r, double hoursRun)
{
    if (r.interval <= 0)
        return std::nullopt;
    return r.lastService + r.interval - hoursRun;
}

QString serviceDueText(std::optional<double> dueIn)
{
    if (!dueIn)
        return QString();
    if (*dueIn > 0)
        return QStringLiteral("service due in %1 h").arg(std::ceil(*dueIn));
    const double over = std::floor(-*dueIn);
    return over < 1 ? QStringLiteral("service due now") : QStringLiteral("service overdue by %1 h").arg(over);
}

// ---------------------------------------------------------------- alerts

QString fleetNodeName(const QString& site, int node)
{
    return node == 0 ? site : QStringLiteral("%1 node %2").arg(site).arg(node);
}

QString FleetAlert::what() const
{
    const QString who = node < 0 ? site : fleetNodeName(site, node);
    switch (kind) {
    case Kind::FaultCame:
        return QStringLiteral("%1: fault %2 %3: %4").arg(who).arg(code).arg(standing ? "standing" : "came", text);
    case Kind::FaultCleared:
        return QStringLiteral("%1: fault %2 cleared: %3").arg(who).arg(code).arg(text);
    case Kind::Offline:
        return who + (standing ? QStringLiteral(": offline (found so on connecting)") : QStringLiteral(": offline"));
    case Kind::Online:
        return who + QStringLiteral(": online again");
    case Kind::ServiceOffline:
        return who + (standing ? QStringLiteral(": service offline (found so on connecting)")
                               : QStringLiteral(": service offline"));
    case Kind::ServiceOnline:
        return who + QStringLiteral(": service online again");
    }
    return who;
}

QString FleetAlert::line() const
{
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss  ")) + what();
}

// ---------------------------------------------------------------- the board

FleetBoard::FleetBoard(QObject* parent) : QObject(parent) {}

void FleetBoard::setPrefix(const QString& prefix)
{
    m_prefix = prefix;
}

void FleetBoard::clear()
{
    while (!m_nodes.empty())
        removeNode(size() - 1);
    m_serviceOnline.clear();
    m_alerts.clear();
    m_ignored = 0;
    m_lastIgnored.clear();
    emit alertsChanged();
    emit ignoredChanged();
}

int FleetBoard::rowOf(const QString& site, int node) const
{
    return m_rows.value(nodeKey(site, node), -1);
}

int FleetBoard::siteCount() const
{
    QSet<QString> sites;
    for (const FleetNode& n : m_nodes)
        sites.insert(n.site);
    return int(sites.size());
}

bool FleetBoard::serviceOffline(const QString& site) const
{
    return !m_serviceOnline.value(site, true);
}

bool FleetBoard::live(int row) const
{
    const FleetNode& n = node(row);
    return !serviceOffline(n.site) && n.availability == FleetNode::Availability::Online;
}

QString FleetBoard::availabilityText(int row) const
{
    const FleetNode& n = node(row);
    if (serviceOffline(n.site))
        return QStringLiteral("service offline");
    switch (n.availability) {
    case FleetNode::Availability::Online: return QStringLiteral("online");
    case FleetNode::Availability::Offline: return QStringLiteral("offline");
    case FleetNode::Availability::Unknown: break;
    }
    return QString();
}

Attention FleetBoard::attention(int row) const
{
    const FleetNode& n = node(row);
    if (serviceOffline(n.site))
        return Attention::ServiceOffline;
    if (n.availability == FleetNode::Availability::Offline)
        return Attention::Offline;
    if (n.hasState && n.status.faultCode != 0)
        return Attention::Fault;
    const auto due = serviceDueIn(row);
    if (due && *due <= 0)
        return Attention::ServiceOverdue;
    return Attention::None;
}

bool FleetBoard::take(const QString& topic, const QByteArray& payload, const QDateTime& now)
{
    QString why;
    const auto m = readFleetMessage(m_prefix, topic, payload, &why);
    if (!m) {
        ++m_ignored;
        m_lastIgnored = (topic.size() > 80 ? topic.left(77) + QStringLiteral("...") : topic) + QStringLiteral(": ")
                        + why;
        emit ignoredChanged();
        return false;
    }
    const QString& site = m->topic.site;
    if (m->kind == FleetMessage::Kind::ServiceStatus) {
        takeServiceStatus(site, m->online, now);
        return true;
    }
    if (m->kind == FleetMessage::Kind::Cleared) {
        // The service no longer watches the node, or the site is gone.
        const int row = rowOf(site, m->topic.node);
        if (m->topic.node < 0) {
            m_serviceOnline.remove(site);
            siteChanged(site);
        } else if (row >= 0 && m->topic.leaf == QLatin1String("info")) {
            m_nodes[size_t(row)].hasInfo = false;
            emit nodeChanged(row);
        } else if (row >= 0) {
            removeNode(row);
        }
        return true;
    }
    const int row = ensureNode(site, m->topic.node);
    switch (m->kind) {
    case FleetMessage::Kind::State: takeState(row, m->state); break;
    case FleetMessage::Kind::Fault: takeFault(row, m->fault); break;
    case FleetMessage::Kind::Availability: takeAvailability(row, m->online, now); break;
    case FleetMessage::Kind::Info:
        m_nodes[size_t(row)].info = m->info;
        m_nodes[size_t(row)].hasInfo = true;
        break;
    case FleetMessage::Kind::ServiceStatus:
    case FleetMessage::Kind::Cleared: break;
    }
    emit nodeChanged(row);
    return true;
}

int FleetBoard::ensureNode(const QString& site, int node)
{
    const int found = rowOf(site, node);
    if (found >= 0)
        return found;
    const int row = size();
    emit nodeAboutToBeAdded(row);
    FleetNode n;
    n.site = site;
    n.node = node;
    m_nodes.push_back(n);
    m_rows.insert(nodeKey(site, node), row);
    emit nodeAdded(row);
    return row;
}

void FleetBoard::removeNode(int row)
{
    emit nodeAboutToBeRemoved(row);
    m_rows.remove(nodeKey(node(row).site, node(row).node));
    m_nodes.erase(m_nodes.begin() + row);
    for (int r = row; r < size(); ++r)
        m_rows[nodeKey(m_nodes[size_t(r)].site, m_nodes[size_t(r)].node)] = r;
    emit nodeRemoved(row);
}

void FleetBoard::takeState(int row, const StateMessage& m)
{
    FleetNode& n = m_nodes[size_t(row)];
    const bool first = !n.hasState;
    n.status = m.status;
    n.hasState = true;
    if (!n.lastMessage.isValid() || m.time > n.lastMessage)
        n.lastMessage = m.time;
    faultNow(row, m.status.faultCode, m.status.faultText, m.time, first);
}

void FleetBoard::takeFault(int row, const FaultMessage& f)
{
    FleetNode& n = m_nodes[size_t(row)];
    if (!n.lastMessage.isValid() || f.time > n.lastMessage)
        n.lastMessage = f.time;
    if (f.came)
        faultNow(row, f.code, f.text, f.time, false);
    else if (n.alertedFault == f.code)
        faultNow(row, 0, QString(), f.time, false);
}

void FleetBoard::faultNow(int row, int code, const QString& text, const QDateTime& when, bool standing)
{
    FleetNode& n = m_nodes[size_t(row)];
    if (code == n.alertedFault)
        return;
    const int before = n.alertedFault;
    const QString beforeText = n.alertedFaultText;
    n.alertedFault = code;
    n.alertedFaultText = text;
    if (before)
        raise({FleetAlert::Kind::FaultCleared, when, n.site, n.node, before, beforeText});
    if (code)
        raise({FleetAlert::Kind::FaultCame, when, n.site, n.node, code, text, standing});
}

void FleetBoard::takeAvailability(int row, bool online, const QDateTime& now)
{
    FleetNode& n = m_nodes[size_t(row)];
    const auto before = n.availability;
    n.availability = online ? FleetNode::Availability::Online : FleetNode::Availability::Offline;
    if (!online && before != FleetNode::Availability::Offline)
        raise({FleetAlert::Kind::Offline, now, n.site, n.node, 0, {}, before == FleetNode::Availability::Unknown});
    else if (online && before == FleetNode::Availability::Offline)
        raise({FleetAlert::Kind::Online, now, n.site, n.node, 0, {}});
}

void FleetBoard::takeServiceStatus(const QString& site, bool online, const QDateTime& now)
{
    const auto before = m_serviceOnline.constFind(site);
    const bool known = before != m_serviceOnline.cend();
    if (!online && (!known || *before))
        raise({FleetAlert::Kind::ServiceOffline, now, site, -1, 0, {}, !known});
    else if (online && known && !*before)
        raise({FleetAlert::Kind::ServiceOnline, now, site, -1, 0, {}});
    m_serviceOnline.insert(site, online);
    siteChanged(site);
}

void FleetBoard::siteChanged(const QString& site)
{
    for (int r = 0; r < size(); ++r)
        if (m_nodes[size_t(r)].site == site)
            emit nodeChanged(r);
}

void FleetBoard::raise(FleetAlert a)
{
    m_alerts.append(a);
    emit alertRaised(a);
}

int FleetBoard::unacknowledged() const
{
    int n = 0;
    for (const FleetAlert& a : m_alerts)
        n += !a.acknowledged;
    return n;
}

void FleetBoard::acknowledge(int index)
{
    if (index < 0 || index >= m_alerts.size() || m_alerts[index].acknowledged)
        return;
    m_alerts[index].acknowledged = true;
    emit alertsChanged();
}

void FleetBoard::acknowledgeAll()
{
    for (FleetAlert& a : m_alerts)
        a.acknowledged = true;
    emit alertsChanged();
}

void FleetBoard::setReminders(const ReminderMap& reminders)
{
    m_reminders = reminders;
    for (int r = 0; r < size(); ++r)
        emit nodeChanged(r);
}

void FleetBoard::setReminder(const QString& site, int node, const ServiceReminder& r)
{
    if (r.interval <= 0)
        m_reminders.remove(nodeKey(site, node));
    else
        m_reminders.insert(nodeKey(site, node), r);
    if (const int row = rowOf(site, node); row >= 0)
        emit nodeChanged(row);
}

ServiceReminder FleetBoard::reminder(int row) const
{
    return m_reminders.value(nodeKey(node(row).site, node(row).node));
}

std::optional<double> FleetBoard::serviceDueIn(int row) const
{
    if (!node(row).hasState)
        return std::nullopt;
    return gx::serviceDueIn(reminder(row), node(row).status.hoursRun);
}

QString FleetBoard::csv() const
{
    QStringList lines{QStringLiteral("site,node,model,firmware,availability,state,state_text,mode,fault_code,fault,"
                                     "hours_run,service_interval_h,last_service_h,service_due_h,last_message")};
    auto number = [](double v, int decimals) { return QString::number(v, 'f', decimals); };
    for (int r = 0; r < size(); ++r) {
        const FleetNode& n = node(r);
        const ServiceReminder rem = reminder(r);
        const auto due = serviceDueIn(r);
        QStringList f{csvField(n.site), QString::number(n.node), csvField(n.info.model), csvField(n.info.firmware),
                      availabilityText(r)};
        if (n.hasState)
            f << QString::number(n.status.state) << csvField(n.status.stateText) << n.status.mode
              << QString::number(n.status.faultCode) << csvField(n.status.faultText) << number(n.status.hoursRun, 2);
        else
            f << QString() << QString() << QString() << QString() << QString() << QString();
        f << (rem.interval > 0 ? number(rem.interval, 1) : QString())
          << (rem.interval > 0 ? number(rem.lastService, 2) : QString()) << (due ? number(*due, 2) : QString())
          << (n.lastMessage.isValid() ? isoTime(n.lastMessage) : QString());
        lines << f.join(QLatin1Char(','));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace gx
