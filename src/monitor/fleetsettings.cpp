// The fleet board's connection settings: read, stored, checked and made into the client's options.

#include "monitor/fleetsettings.h"

#include "monitor/statemessages.h"
#include "platform/credentials.h"
#include "platform/filestore.h"
#include "platform/settingsstore.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace gx {

namespace {
const QString Section = QStringLiteral("Fleet");
}

FleetSettings FleetSettings::load(const SettingsStore& store)
{
    FleetSettings f;
    f.broker = store.value(Section, QStringLiteral("Broker")).trimmed();
    f.caFile = store.value(Section, QStringLiteral("CA file")).trimmed();
    f.topicPrefix = store.value(Section, QStringLiteral("Topic prefix"), f.topicPrefix).trimmed();
    f.credentialsFile = store.value(Section, QStringLiteral("Credentials file")).trimmed();
    return f;
}

void FleetSettings::save(SettingsStore& store) const
{
    store.setValue(Section, QStringLiteral("Broker"), broker);
    store.setValue(Section, QStringLiteral("CA file"), caFile);
    store.setValue(Section, QStringLiteral("Topic prefix"), topicPrefix);
    store.setValue(Section, QStringLiteral("Credentials file"), credentialsFile);
}

QString FleetSettings::problem() const
{
    if (broker.isEmpty())
        return QString();
    const auto o = MqttClient::brokerUrl(broker);
    if (!o)
        return QStringLiteral("The broker \"%1\" is not mqtt://HOST:PORT or mqtts://HOST:PORT").arg(broker);
    if (!isTopicPrefix(topicPrefix))
        return QStringLiteral("The topic prefix \"%1\" must be levels of letters, digits, \"_\" and \"-\" joined by "
                              "\"/\"").arg(topicPrefix);
    if (!caFile.isEmpty() && !o->tls)
        return QStringLiteral("A CA file needs an mqtts:// broker");
    if (!caFile.isEmpty() && !QFileInfo(caFile).isReadable())
        return QStringLiteral("The CA file %1 cannot be read").arg(caFile);
    return QString();
}

std::optional<MqttClient::Options> FleetSettings::clientOptions(QString* why) const
{
    const QString p = broker.isEmpty() ? QStringLiteral("No broker is set") : problem();
    if (!p.isEmpty()) {
        if (why)
            *why = p;
        return std::nullopt;
    }
    MqttClient::Options o = *MqttClient::brokerUrl(broker);
    o.caFile = caFile;
    if (!credentialsFile.isEmpty()) {
        QString error;
        const auto c = readCredentialsFile(credentialsFile, &error);
        if (!c) {
            if (why)
                *why = QStringLiteral("The credentials file ") + error;
            return std::nullopt;
        }
        o.user = c->user;
        o.password = c->password;
    }
    o.clientId = QStringLiteral("gx520-fleet-%1").arg(::getpid());
    return o;
}

QString defaultFleetCredentialsPath()
{
    return QDir(userDataFolder()).filePath(QStringLiteral("fleet.credentials"));
}

} // namespace gx
