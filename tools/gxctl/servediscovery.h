#pragma once

// Home Assistant's MQTT discovery for gxctl serve: one device per node, its
// sensors, the running binary sensor and the buttons of the allowed commands.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace gxctl {

struct DiscoveryNode {
    QString topicPrefix, discoveryPrefix, site;
    int node = 0;
    QString model;       // "GX520"
    double firmware = 0;
    QStringList commands;  // the allowed command names
};

struct Retained {
    QString topic;
    QByteArray payload;  // empty: the topic is cleared
};

// Every config of the node, under DISCOVERY/<component>/gx520_SITE_NODE/<object>/config;
// the buttons of commands that are not allowed come with empty payloads, so
// they are cleared if an earlier run published them.
QList<Retained> discoveryConfigs(const DiscoveryNode& n);
// Every config topic a node may have (to clear them all when it leaves the list).
QStringList discoveryTopics(const QString& discoveryPrefix, const QString& site, int node);

} // namespace gxctl
