#pragma once

// The fleet board's broker connection as the settings keep it: section
// "Fleet" of the settings store holds the broker's URL, the CA file, the
// topic prefix and the path of a credentials file; the user name and the
// password are in that file (readable by its owner alone), never in the store.

#include "platform/mqttclient.h"

#include <QString>

#include <optional>

namespace gx {

class SettingsStore;

struct FleetSettings {
    QString broker;  // "mqtt://HOST:PORT" or "mqtts://HOST:PORT"; "": the board stays unconnected
    QString caFile;  // with mqtts; "": the system's certificate authorities
    QString topicPrefix = QStringLiteral("gx520");
    QString credentialsFile;  // "": no user name

    static FleetSettings load(const SettingsStore& store);
    void save(SettingsStore& store) const;

    // What makes them unusable, in words; "" when they can be used (or no
    // broker is given).
    QString problem() const;
    // The client's options, the user and password read from the credentials
    // file; nothing, with why, when they cannot be used.
    std::optional<MqttClient::Options> clientOptions(QString* why) const;
};

// Where the settings dialog keeps the board's credentials: fleet.credentials
// in the user's data folder.
QString defaultFleetCredentialsPath();

} // namespace gx
