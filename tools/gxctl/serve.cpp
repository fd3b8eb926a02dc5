// gxctl serve: the polling of the line and what it publishes, receives and logs.

#include "serve.h"

#include "serveconfig.h"
#include "servediscovery.h"

#include "link/protocol.h"
#include "link/timerreadout.h"
#include "monitor/controlcommands.h"
#include "monitor/lcd.h"
#include "monitor/statemessages.h"
#include "monitor/statusrecord.h"
#include "platform/mqttclient.h"
#include "profile/tables.h"

#include <QProcess>

#include <cstdio>
#include <unistd.h>

namespace gxctl {

namespace {

constexpr int OfflineAfter = 3;           // time-outs in a row
constexpr double RepublishEvery = 60.0;   // an unchanged state, and the link counts
constexpr double ReopenEvery = 5.0;       // a lost port
constexpr double NodeCommandPause = 0.5;  // after a switch write, as the network monitor does
constexpr double FlushTime = 3.0;         // for the last messages at the end
constexpr qsizetype LongestCommand = 16;
// The longest reply (a profile, 312 bytes at 9600 baud) and some.
constexpr double SettleTime = 0.4;

void log(const QString& text)
{
    std::fprintf(stderr, "gxctl serve: %s\n", qPrintable(text));
    std::fflush(stderr);
}

QString now()
{
    return gx::isoTime(QDateTime::currentDateTime());
}

struct Node {
    int address = 0;  // 0: the direct line
    bool identified = false;
    bool online = false;
    bool announced = false;  // availability published at least once
    int misses = 0;          // time-outs in a row
    QString model;
    double firmware = 0;
    gx::Profile profile;
    gx::ScreenSetup setup;
    gx::StatusRecord record;
    gx::TimerReadout timers;
    QJsonObject lastState;
    double lastStateAt = -1e9;
    bool faultKnown = false;
    int faultCode = 0;
    QString faultText;
    QStringList commands;  // received, waiting for the node's turn
};

class Service : public QObject {
public:
    Service(Session& s, ServeConfig c) : m_s(s), m_c(std::move(c)) {}
    int run();

private:
    double clock() const { return m_s.clock.now(); }
    bool network() const { return !m_c.nodes.isEmpty(); }
    Node* node(int address);
    void prepare(Node& n);
    void openPort();
    void settle();
    void directTurn();
    void networkPass();
    void probe(Node& n);
    void identify(Node& n);
    bool poll(Node& n);
    void countMisses(Node& n, long timeoutsBefore);
    void report(Node& n);
    void publishState(Node& n, const gx::StatusSummary& sum);
    void trackFault(Node& n, const gx::StatusSummary& sum);
    void faultChanged(Node& n, int code, const QString& text, bool came);
    void setOnline(Node& n, bool online);
    void sendCommands(Node& n);
    bool commandsWaiting() const;
    void housekeeping();
    void startBroker(const QString& site);
    void publishDiscovery(const Node& n);
    void onMessage(const QString& topic, const QByteArray& payload, bool retained);
    void takeCommand(const QString& topic, int address, const QByteArray& payload, bool retained);
    void clearNode(int address);
    void publish(const QString& topic, const QByteArray& payload, bool retain, int qos = 0);
    void shutdown();

    Session& m_s;
    const ServeConfig m_c;
    std::vector<Node> m_nodes;
    QString m_site;
    gx::MqttClient* m_mqtt = nullptr;
    double m_nextReopen = 0;
    double m_nextLink = 0;
    bool m_probeAll = true;
    size_t m_nextProbe = 0;
    QList<int> m_cleared;
};

int Service::run()
{
    m_s.status.quiet = true;  // a silent node is reported once, as "offline", not at every probe
    m_s.dialogs.quiet = true;
    if (network())
        for (int a : m_c.nodes)
            m_nodes.emplace_back().address = a;
    else
        m_nodes.emplace_back();
    connect(&m_s.link, &gx::Link::portLost, this, [this](const QString& reason) {
        log(QStringLiteral("the port was lost (%1); opening it again every %2 s").arg(reason).arg(ReopenEvery));
        for (Node& n : m_nodes)
            setOnline(n, false);
        m_nextReopen = clock() + ReopenEvery;
    });
    if (!m_c.site.isEmpty())
        startBroker(m_c.site);
    openPort();
    while (!m_s.waiter.closing()) {
        m_s.waiter.yieldOnce();
        if (!m_s.port.portOpen()) {
            if (clock() < m_nextReopen) {
                m_s.waiter.pause(m_nextReopen - clock());
                continue;
            }
            if (!m_s.port.setPortOpen(true)) {
                m_nextReopen = clock() + ReopenEvery;
                continue;
            }
            log(QStringLiteral("the port is open again"));
            settle();
            m_probeAll = true;
        }
        if (network())
            networkPass();
        else
            directTurn();
        housekeeping();
    }
    shutdown();
    return Success;
}

Node* Service::node(int address)
{
    for (Node& n : m_nodes)
        if (n.address == address)
            return &n;
    return nullptr;
}

void Service::openPort()
{
    if (m_s.open(m_c.port, false)) {
        settle();
        return;
    }
    log(QStringLiteral("trying the port again every %1 s").arg(ReopenEvery));
    m_nextReopen = clock() + ReopenEvery;
    for (Node& n : m_nodes)
        setOnline(n, false);
}

// A line just opened may still carry the end of a reply to whoever used it
// before (another program, or this service before a restart): taken for the
// start of a reply it would put every later one out of step.
void Service::settle()
{
    m_s.waiter.pause(SettleTime);
    m_s.port.discardInput();
}

void Service::prepare(Node& n)
{
    m_s.link.NetworkMode = network();
    m_s.link.Address = n.address;
    if (n.identified)
        m_s.link.FirmVersion = n.firmware;
}

// The direct line, as the live monitor polls it: a status every interval.
void Service::directTurn()
{
    const double started = clock();
    Node& n = m_nodes.front();
    if (n.online)
        poll(n);
    else
        identify(n);
    sendCommands(n);
    const double left = m_c.interval - (clock() - started);
    if (left > 0 && !m_s.waiter.closing())
        m_s.waiter.waitUntil([this] { return commandsWaiting(); }, left);
}

// An RS485 line, as the network monitor polls it: every node that answers in
// turn, then one that does not (after start-up or a reopened port: all of them).
void Service::networkPass()
{
    for (Node& n : m_nodes) {
        if (m_s.waiter.closing() || !m_s.port.portOpen())
            return;
        if (n.online) {
            poll(n);
            sendCommands(n);
        }
    }
    std::vector<Node*> missing;
    for (Node& n : m_nodes)
        if (!n.online)
            missing.push_back(&n);
    if (m_probeAll) {
        m_probeAll = false;
        for (Node* n : missing)
            if (!m_s.waiter.closing() && m_s.port.portOpen())
                probe(*n);
    } else if (!missing.empty()) {
        probe(*missing[m_nextProbe++ % missing.size()]);
    }
}

// A node that is not answering: a quick-status probe first, and when it
// answers its identification and profile, then its status.
void Service::probe(Node& n)
{
    prepare(n);
    const long before = m_s.link.health.node(n.address).timeouts;
    if (m_s.link.exchange(gx::SerialPort::BinaryMode, gx::replylen::NetQuickStatus, m_s.link.GotQuickStatus,
                          gx::net::readInputFrame(n.address, 0, 2), gx::timeout::NodeProbe))
        identify(n);
    else
        countMisses(n, before);
    sendCommands(n);
}

void Service::identify(Node& n)
{
    prepare(n);
    gx::Link& l = m_s.link;
    const long before = l.health.node(n.address).timeouts;
    l.ProgStatus.clear();
    l.uploadID();
    if (l.ProgStatus.isEmpty())
        l.uploadProfile();
    if (!l.ProgStatus.isEmpty()) {
        countMisses(n, before);
        return;
    }
    n.identified = true;
    n.model = l.Instrument;
    n.firmware = l.FirmVersion;
    n.profile = l.uploadedProfile;
    n.setup = gx::UpdateScreenVariables(n.profile, gx::InputFunctionText, gx::OutputFunctionText);
    log(QStringLiteral("node %1: %2, site name \"%3\"").arg(n.address).arg(l.ID.trimmed(), l.SiteName.trimmed()));
    if (m_site.isEmpty())
        startBroker(gx::topicSafe(l.SiteName));
    publishDiscovery(n);
    // What the fleet board shows of the node, and whether it offers commands.
    publish(gx::nodeTopic(m_c.topicPrefix, m_site, n.address, QStringLiteral("info")),
            gx::infoMessage({n.model, QString::number(n.firmware), l.ID.trimmed(), l.SiteName.trimmed(), m_c.commands}),
            true);
    poll(n);
}

bool Service::poll(Node& n)
{
    prepare(n);
    if (!network())
        m_s.port.setInputMode(gx::SerialPort::BinaryMode);
    const long before = m_s.link.health.node(n.address).timeouts;
    const bool retry = false;  // one attempt: a node that does not answer must not hold up the others
    if (m_s.link.fetchMonitorStatus(retry) == gx::Link::Fetch::Ok) {
        n.misses = 0;
        setOnline(n, true);
        report(n);
        return true;
    }
    countMisses(n, before);
    return false;
}

void Service::countMisses(Node& n, long timeoutsBefore)
{
    if (m_s.waiter.closing())
        return;
    n.misses += int(m_s.link.health.node(n.address).timeouts - timeoutsBefore);
    if (!n.announced || (n.online && n.misses >= OfflineAfter)) {
        if (n.online)
            log(QStringLiteral("node %1: no reply to %2 requests in a row").arg(n.address).arg(n.misses));
        setOnline(n, false);
    }
}

void Service::report(Node& n)
{
    const bool net = network();
    const auto& image = m_s.link.StatusImage;
    n.record.decode(image, net);
    const gx::PollContext ctx{net, n.firmware, n.setup.ATSsupport};
    const gx::PollView view = gx::buildPollView(n.record, image, ctx, n.profile, 1, true, n.timers);
    const gx::StatusSummary sum = gx::summarize(n.record, image, view, n.profile, net);
    publishState(n, sum);
    trackFault(n, sum);
}

void Service::publishState(Node& n, const gx::StatusSummary& sum)
{
    const QJsonObject json = gx::statusJson(sum);
    if (json == n.lastState && clock() - n.lastStateAt < RepublishEvery)
        return;
    n.lastState = json;
    n.lastStateAt = clock();
    publish(gx::nodeTopic(m_c.topicPrefix, m_site, n.address, QStringLiteral("state")),
            gx::stateMessage(sum, QDateTime::currentDateTime()), true);
}

void Service::trackFault(Node& n, const gx::StatusSummary& sum)
{
    // The first reading sets where things stand; only changes after it are news.
    if (n.faultKnown && sum.faultCode != n.faultCode) {
        if (n.faultCode)
            faultChanged(n, n.faultCode, n.faultText, false);
        if (sum.faultCode)
            faultChanged(n, sum.faultCode, sum.faultText, true);
    }
    n.faultKnown = true;
    n.faultCode = sum.faultCode;
    n.faultText = sum.faultText;
}

void Service::faultChanged(Node& n, int code, const QString& text, bool came)
{
    const QDateTime when = QDateTime::currentDateTime();
    log(QStringLiteral("%1 node %2: fault %3 (%4) %5").arg(gx::isoTime(when)).arg(n.address).arg(code).arg(text,
                                                                   came ? QStringLiteral("came") : QStringLiteral("cleared")));
    publish(gx::nodeTopic(m_c.topicPrefix, m_site, n.address, QStringLiteral("fault")),
            gx::faultMessage({code, text, came, when}), false, 1);
    if (m_c.onFault.isEmpty())
        return;
    QProcess hook;
    hook.setProgram(m_c.onFault.front());
    hook.setArguments(m_c.onFault.mid(1));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("GX_SITE"), m_site);
    env.insert(QStringLiteral("GX_NODE"), QString::number(n.address));
    env.insert(QStringLiteral("GX_FAULT_CODE"), QString::number(code));
    env.insert(QStringLiteral("GX_FAULT_TEXT"), text);
    env.insert(QStringLiteral("GX_FAULT_STATE"), came ? QStringLiteral("came") : QStringLiteral("cleared"));
    env.insert(QStringLiteral("GX_FAULT_TIME"), gx::isoTime(when));
    hook.setProcessEnvironment(env);
    hook.setStandardInputFile(QProcess::nullDevice());
    if (!hook.startDetached())
        log(QStringLiteral("--on-fault %1 could not be started: %2").arg(m_c.onFault.front(), hook.errorString()));
}

void Service::setOnline(Node& n, bool online)
{
    if (n.announced && n.online == online)
        return;
    log(QStringLiteral("node %1: %2").arg(n.address).arg(online ? "online" : "offline"));
    n.announced = true;
    n.online = online;
    if (!online) {
        n.identified = false;  // identified again when it answers: it may be another controller by then
        n.misses = 0;
    }
    publish(gx::nodeTopic(m_c.topicPrefix, m_site, n.address, QStringLiteral("availability")),
            online ? QByteArrayLiteral("online") : QByteArrayLiteral("offline"), true);
}

bool Service::commandsWaiting() const
{
    for (const Node& n : m_nodes)
        if (!n.commands.isEmpty())
            return true;
    return false;
}

void Service::sendCommands(Node& n)
{
    while (!n.commands.isEmpty() && !m_s.waiter.closing()) {
        const QString name = n.commands.takeFirst();
        const auto command = gx::commandNamed(name);
        const QString who = QStringLiteral("%1 node %2: command \"%3\"").arg(now()).arg(n.address).arg(name);
        if (!command) {
            log(who + QStringLiteral(" taken; it sends nothing to the controller (the alarm mute silences a "
                                     "monitor's own beep)"));
        } else if (!n.online || !m_s.port.portOpen()) {
            log(who + QStringLiteral(" not sent: the node is offline"));
        } else if (network()) {
            m_s.port.discardInput();
            m_s.port.output(gx::commandBytes(*command, true, n.address));
            log(who + QStringLiteral(" sent"));
            m_s.waiter.pause(NodeCommandPause);
            m_s.port.discardInput();
        } else {
            m_s.port.output(gx::commandBytes(*command, false, 0));
            log(who + QStringLiteral(" sent"));
        }
    }
}

void Service::housekeeping()
{
    if (!m_mqtt || clock() < m_nextLink)
        return;
    m_nextLink = clock() + RepublishEvery;
    for (const Node& n : m_nodes)
        publish(gx::nodeTopic(m_c.topicPrefix, m_site, n.address, QStringLiteral("link")),
                gx::linkCountsMessage(m_s.link.health.node(n.address)), true);
}

void Service::publish(const QString& topic, const QByteArray& payload, bool retain, int qos)
{
    if (m_mqtt)
        m_mqtt->publish(topic, payload, retain, qos);
}

void Service::startBroker(const QString& site)
{
    m_site = site;
    gx::MqttClient::Options o;
    o.host = m_c.brokerHost;
    o.port = m_c.brokerPort;
    o.tls = m_c.tls;
    o.caFile = m_c.caFile;
    o.user = m_c.user;
    o.password = m_c.password;
    o.clientId = QStringLiteral("gxctl-serve-%1-%2").arg(site).arg(::getpid());
    o.willTopic = gx::siteStatusTopic(m_c.topicPrefix, site);
    o.willPayload = "offline";
    o.birthPayload = "online";
    m_mqtt = new gx::MqttClient(o, this);
    connect(m_mqtt, &gx::MqttClient::problem, this, [](const QString& text) { log(text); });
    connect(m_mqtt, &gx::MqttClient::connectedChanged, this, [this](bool up) {
        log(up ? QStringLiteral("connected to the broker at %1:%2 as site \"%3\"").arg(m_c.brokerHost).arg(m_c.brokerPort).arg(m_site)
               : QStringLiteral("publishing waits for the broker; polling goes on"));
    });
    connect(m_mqtt, &gx::MqttClient::messageReceived, this, &Service::onMessage);
    if (!m_c.commands.isEmpty())
        m_mqtt->subscribe(QStringLiteral("%1/%2/+/command").arg(m_c.topicPrefix, site), 1);
    if (m_c.discovery)
        m_mqtt->subscribe(m_c.discoveryPrefix + QStringLiteral("/status"));
    // Retained availability of nodes an earlier run watched, to clear those no longer in the list.
    m_mqtt->subscribe(QStringLiteral("%1/%2/+/availability").arg(m_c.topicPrefix, site));
    m_nextLink = clock();
    for (Node& n : m_nodes)
        if (n.announced)
            publish(gx::nodeTopic(m_c.topicPrefix, m_site, n.address, QStringLiteral("availability")),
                    n.online ? QByteArrayLiteral("online") : QByteArrayLiteral("offline"), true);
    m_mqtt->start();
}

void Service::publishDiscovery(const Node& n)
{
    if (!m_c.discovery || !n.identified)
        return;
    const DiscoveryNode d{m_c.topicPrefix, m_c.discoveryPrefix, m_site, n.address, n.model, n.firmware, m_c.commands};
    for (const Retained& r : discoveryConfigs(d))
        publish(r.topic, r.payload, true);
}

void Service::onMessage(const QString& topic, const QByteArray& payload, bool retained)
{
    if (m_c.discovery && topic == m_c.discoveryPrefix + QStringLiteral("/status")) {
        if (payload == "online") {
            log(QStringLiteral("Home Assistant is online: discovery published again"));
            for (const Node& n : m_nodes)
                publishDiscovery(n);
        }
        return;
    }
    const auto parts = gx::parseTopic(m_c.topicPrefix, topic);
    const bool commandTopic = topic.endsWith(QLatin1String("/command"));
    if (commandTopic && (!parts || parts->site != m_site)) {
        log(QStringLiteral("ignored a message on %1: no such node").arg(topic));
        return;
    }
    if (!parts || parts->site != m_site)
        return;
    if (parts->leaf == QLatin1String("availability") && retained && !payload.isEmpty() && !node(parts->node)
        && !m_cleared.contains(parts->node))
        clearNode(parts->node);
    else if (parts->leaf == QLatin1String("command"))
        takeCommand(topic, parts->node, payload, retained);
}

void Service::takeCommand(const QString& topic, int address, const QByteArray& payload, bool retained)
{
    QString why;
    const QString name = QString::fromUtf8(payload).trimmed();
    bool printable = !payload.isEmpty();
    for (const char c : payload)
        printable = printable && c >= 0x20 && c < 0x7F;
    if (payload.size() > LongestCommand)
        why = QStringLiteral("%1 bytes, not a command name").arg(payload.size());
    else if (!printable)
        why = QStringLiteral("%1 bytes of binary data, not a command name").arg(payload.size());
    else if (!m_c.commands.contains(name))
        why = QStringLiteral("\"%1\" is not one of the commands allowed (%2)").arg(name, m_c.commands.join(", "));
    else if (retained)
        why = QStringLiteral("a retained command is never carried out, only one sent while the service runs");
    else if (!node(address))
        why = QStringLiteral("node %1 is not watched").arg(address);
    if (!why.isEmpty()) {
        log(QStringLiteral("ignored a message on %1: %2").arg(topic, why));
        return;
    }
    node(address)->commands << name;
}

void Service::clearNode(int address)
{
    m_cleared << address;
    log(QStringLiteral("node %1 is no longer watched: its retained topics cleared").arg(address));
    if (m_c.discovery)
        for (const QString& t : discoveryTopics(m_c.discoveryPrefix, m_site, address))
            publish(t, QByteArray(), true);
    for (const char* leaf : {"state", "availability", "info", "link"})
        publish(gx::nodeTopic(m_c.topicPrefix, m_site, address, QLatin1String(leaf)), QByteArray(), true);
}

void Service::shutdown()
{
    m_s.waiter.resetClosing();  // the last messages still go out
    for (Node& n : m_nodes)
        if (n.announced)
            publish(gx::nodeTopic(m_c.topicPrefix, m_site, n.address, QStringLiteral("availability")), "offline", true,
                    1);
    publish(gx::siteStatusTopic(m_c.topicPrefix, m_site), "offline", true, 1);
    if (m_s.port.portOpen())
        m_s.port.output(QByteArray(1, gx::cmd::Goodbye));
    m_s.port.seal();
    if (m_mqtt)
        m_mqtt->disconnectFromBroker(m_s.waiter, FlushTime);
    log(QStringLiteral("stopped"));
}

} // namespace

int serve(Session& s, const Invocation& in)
{
    QString error;
    const auto config = serveConfig(in.options, &error);
    if (!config) {
        std::fprintf(stderr, "gxctl serve: %s\n", qPrintable(error));
        return Usage;
    }
    Service service(s, *config);
    return service.run();
}

} // namespace gxctl
