// The Home Assistant discovery configs of a node.

#include "servediscovery.h"

#include "monitor/statemessages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace gxctl {

namespace {

struct Entity {
    const char* component;
    const char* object;
    const char* name;
    const char* valueTemplate;
    const char* deviceClass;  // "" for none
    const char* unit;
    const char* stateClass;
    const char* icon;
};

// The readings of the state message as Home Assistant entities.
const Entity Entities[] = {
    {"sensor", "volts_1", "Voltage L1", "{{ value_json.volts[0] }}", "voltage", "V", "measurement", ""},
    {"sensor", "volts_2", "Voltage L2", "{{ value_json.volts[1] }}", "voltage", "V", "measurement", ""},
    {"sensor", "volts_3", "Voltage L3", "{{ value_json.volts[2] }}", "voltage", "V", "measurement", ""},
    {"sensor", "amps_1", "Current L1", "{{ value_json.amps[0] }}", "current", "A", "measurement", ""},
    {"sensor", "amps_2", "Current L2", "{{ value_json.amps[1] }}", "current", "A", "measurement", ""},
    {"sensor", "amps_3", "Current L3", "{{ value_json.amps[2] }}", "current", "A", "measurement", ""},
    {"sensor", "frequency", "Frequency", "{{ value_json.frequency_hz }}", "frequency", "Hz", "measurement", ""},
    {"sensor", "oil_pressure", "Oil pressure", "{{ value_json.oil_pressure_psi }}", "pressure", "psi", "measurement", ""},
    {"sensor", "engine_temperature", "Engine temperature", "{{ value_json.engine_temperature_c }}", "temperature",
     "\u00b0C", "measurement", ""},
    {"sensor", "battery", "Battery", "{{ value_json.battery_v }}", "voltage", "V", "measurement", "mdi:car-battery"},
    {"sensor", "engine_speed", "Engine speed", "{{ value_json.engine_speed_rpm }}", "", "rpm", "measurement",
     "mdi:engine"},
    {"sensor", "hours_run", "Hours run", "{{ value_json.hours_run }}", "duration", "h", "total_increasing", ""},
    {"sensor", "state", "State", "{{ value_json.state_text }}", "", "", "", "mdi:engine-outline"},
    {"sensor", "mode", "Mode", "{{ value_json.mode }}", "", "", "", "mdi:auto-mode"},
    {"sensor", "fault", "Fault", "{{ value_json.fault if value_json.fault_code else 'none' }}", "", "", "",
     "mdi:alert"},
    {"sensor", "display", "Display", "{{ value_json.lcd[0] | trim }} | {{ value_json.lcd[1] | trim }}", "", "", "",
     "mdi:card-text-outline"},
    {"binary_sensor", "running", "Running", "{{ 'ON' if value_json.state in [3, 4] else 'OFF' }}", "running", "", "",
     ""},
};

// The buttons: every command name but "mute", which sends nothing to the controller.
const struct {
    const char* command;
    const char* name;
    const char* icon;
} Buttons[] = {
    {"start", "Start", "mdi:play"}, {"stop", "Stop", "mdi:stop"}, {"reset", "Fault reset", "mdi:restore"},
    {"auto", "AUTO mode", "mdi:alpha-a-circle"}, {"manual", "MAN mode", "mdi:hand-back-right"},
    {"test", "Remote test", "mdi:test-tube"},
};

QString nodeId(const QString& site, int node)
{
    return QStringLiteral("gx520_%1_%2").arg(site).arg(node);
}

QString configTopic(const QString& prefix, const char* component, const QString& site, int node, const char* object)
{
    return QStringLiteral("%1/%2/%3/%4/config").arg(prefix, QLatin1String(component), nodeId(site, node),
                                                    QLatin1String(object));
}

} // namespace

QList<Retained> discoveryConfigs(const DiscoveryNode& n)
{
    const QString id = nodeId(n.site, n.node);
    const QJsonObject device{
        {"identifiers", QJsonArray{id}},
        {"name", n.node == 0 ? n.site : QStringLiteral("%1 node %2").arg(n.site).arg(n.node)},
        {"model", n.model.isEmpty() ? QStringLiteral("GX520") : n.model},
        {"sw_version", QString::number(n.firmware)},
        {"suggested_area", n.site},
    };
    const QJsonArray availability{
        QJsonObject{{"topic", gx::nodeTopic(n.topicPrefix, n.site, n.node, QStringLiteral("availability"))}},
        QJsonObject{{"topic", gx::siteStatusTopic(n.topicPrefix, n.site)}},
    };
    auto common = [&](const char* object, const char* name) {
        return QJsonObject{{"name", QLatin1String(name)},
                           {"unique_id", id + QLatin1Char('_') + QLatin1String(object)},
                           {"device", device},
                           {"availability", availability},
                           {"availability_mode", "all"},
                           {"origin", QJsonObject{{"name", "gxctl serve"}}}};
    };
    QList<Retained> out;
    const QString state = gx::nodeTopic(n.topicPrefix, n.site, n.node, QStringLiteral("state"));
    for (const Entity& e : Entities) {
        QJsonObject o = common(e.object, e.name);
        o.insert("state_topic", state);
        o.insert("value_template", QString::fromUtf8(e.valueTemplate));
        for (const auto& [key, value] : {std::pair{"device_class", e.deviceClass}, {"unit_of_measurement", e.unit},
                                         {"state_class", e.stateClass}, {"icon", e.icon}})
            if (*value)
                o.insert(QLatin1String(key), QString::fromUtf8(value));
        out.append({configTopic(n.discoveryPrefix, e.component, n.site, n.node, e.object),
                    QJsonDocument(o).toJson(QJsonDocument::Compact)});
    }
    for (const auto& b : Buttons) {
        const QString topic = configTopic(n.discoveryPrefix, "button", n.site, n.node, b.command);
        if (!n.commands.contains(QLatin1String(b.command))) {
            out.append({topic, QByteArray()});
            continue;
        }
        QJsonObject o = common(b.command, b.name);
        o.insert("command_topic", gx::nodeTopic(n.topicPrefix, n.site, n.node, QStringLiteral("command")));
        o.insert("payload_press", QLatin1String(b.command));
        o.insert("icon", QLatin1String(b.icon));
        out.append({topic, QJsonDocument(o).toJson(QJsonDocument::Compact)});
    }
    return out;
}

QStringList discoveryTopics(const QString& discoveryPrefix, const QString& site, int node)
{
    QStringList topics;
    for (const Entity& e : Entities)
        topics << configTopic(discoveryPrefix, e.component, site, node, e.object);
    for (const auto& b : Buttons)
        topics << configTopic(discoveryPrefix, "button", site, node, b.command);
    return topics;
}

} // namespace gxctl
