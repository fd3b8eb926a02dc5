#pragma once

// The messages a site's service publishes and the fleet reads back: a status
// summary as JSON (the keys and values of "gxctl status --json"), the state
// message (that and its time), the fault message, the node's identification,
// the link counts, and the topics they travel on.

#include "monitor/statussummary.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace gx {

struct LinkCounts;

// The summary as "gxctl status --json" prints it.
QJsonObject statusJson(const StatusSummary& s);
// The reverse. Every key must be there with a value of its kind (other keys are
// left alone); otherwise nothing, and *why names the first key that is not.
std::optional<StatusSummary> statusFromJson(const QJsonObject& o, QString* why = nullptr);

// A time as the messages and the data log write it: ISO 8601 with the offset
// from UTC ("2026-12-06T14:05:09+01:00").
QString isoTime(const QDateTime& when);

// Payloads larger than this are refused without being parsed.
constexpr qsizetype MaxMessageBytes = 64 * 1024;

// The state message: the status JSON plus "time".
struct StateMessage {
    StatusSummary status;
    QDateTime time;
};
QByteArray stateMessage(const StatusSummary& s, const QDateTime& when);
std::optional<StateMessage> readStateMessage(const QByteArray& payload, QString* why = nullptr);

// The fault message: {"code": 17, "text": "...", "state": "came"|"cleared", "time": "..."}.
struct FaultMessage {
    int code = 0;
    QString text;
    bool came = true;
    QDateTime time;
};
QByteArray faultMessage(const FaultMessage& f);
std::optional<FaultMessage> readFaultMessage(const QByteArray& payload, QString* why = nullptr);

// The node's identification and what its service allows, retained once the
// node is identified: {"model": "GX520", "firmware": "2.01", "unit_id":
// "GX520 V2.01", "site_name": "North yard", "commands": ["start", "stop"]}.
struct InfoMessage {
    QString model, firmware, unitId, siteName;
    QStringList commands;  // the command names the service carries out; none: read-only
};
QByteArray infoMessage(const InfoMessage& i);
std::optional<InfoMessage> readInfoMessage(const QByteArray& payload, QString* why = nullptr);

// The link's health counts: requests, replies, timeouts, short_replies,
// checksum_failures, long_replies, mean_reply_ms, worst_reply_ms.
QByteArray linkCountsMessage(const LinkCounts& c);

// ---------------------------------------------------------------- topics
//
// PREFIX/SITE/NODE/LEAF for a node (NODE 0 is the direct line, 1..15 RS485
// nodes) and PREFIX/SITE/status for the service itself.

// A site name as one topic level: blanks trimmed, every run of characters
// other than letters, digits, "_" and "-" made one "_"; "site" when nothing is left.
QString topicSafe(const QString& name);
// True for a name made only of letters, digits, "_" and "-".
bool isTopicSafe(const QString& name);
// A prefix: topic-safe levels joined by "/".
bool isTopicPrefix(const QString& prefix);

QString nodeTopic(const QString& prefix, const QString& site, int node, const QString& leaf);
QString siteStatusTopic(const QString& prefix, const QString& site);

struct TopicParts {
    QString site;
    int node = -1;  // -1: the site's own status topic
    QString leaf;   // "state", "availability", "fault", "info", "link", "command" or "status"
};
// The parts of a topic under `prefix`; nothing for any other shape.
std::optional<TopicParts> parseTopic(const QString& prefix, const QString& topic);

// A message the fleet board reads (state, availability, fault and info of a
// node, the status of a site's service), whole and checked.
struct FleetMessage {
    enum class Kind { State, Availability, Fault, Info, ServiceStatus, Cleared };
    Kind kind = Kind::Cleared;
    TopicParts topic;
    StateMessage state;
    FaultMessage fault;
    InfoMessage info;
    bool online = false;  // availability and service status
};
// Nothing, with why, for a topic of another shape or leaf, or a payload that
// is not what its topic carries. An empty payload on a retained topic is
// Cleared: the service no longer watches that node (or that site is gone).
std::optional<FleetMessage> readFleetMessage(const QString& prefix, const QString& topic, const QByteArray& payload,
                                             QString* why = nullptr);

} // namespace gx
