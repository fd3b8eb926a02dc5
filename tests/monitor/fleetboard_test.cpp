// The fleet board: its rows and alerts from the services' messages, bad
// messages counted and left alone, service reminders, the board as CSV, and
// the table's order, filter and colours.

#include "monitor/fleetboard.h"
#include "monitor/fleettable.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QFont>
#include <QJsonArray>
#include <QJsonDocument>

using namespace gx;

namespace {

const QDateTime T0 = QDateTime::fromString("2026-12-07T20:24:01Z", Qt::ISODate);

StatusSummary summary(int state, int fault, double hours)
{
    StatusSummary s;
    s.state = state;
    s.stateText = stateName(state);
    s.mode = "AUTO";
    s.lcdTop = "AUTO";
    s.lcdBottom = "Battery  12.8 V";
    s.battery = 12.8;
    s.hoursRun = hours;
    s.faultCode = fault;
    s.faultText = fault ? QStringLiteral("Low oil pressure shutdown") : QString();
    return s;
}

QByteArray state(int s, int fault = 0, double hours = 1234.5)
{
    return stateMessage(summary(s, fault, hours), T0);
}

QByteArray fault(bool came)
{
    return faultMessage({17, "Low oil pressure shutdown", came, T0});
}

struct Message {
    const char* topic;
    QByteArray payload;
};

// "north/2 online fault" for each row.
QStringList rows(const FleetBoard& b)
{
    // The attention of a row, in the order the board ranks it.
    const char* const attention[] = {"fault", "service offline", "offline", "overdue", "-"};
    QStringList out;
    for (int r = 0; r < b.size(); ++r)
        out << QStringLiteral("%1/%2 %3 %4").arg(b.node(r).site).arg(b.node(r).node).arg(b.availabilityText(r),
                                                                                        attention[int(b.attention(r))]);
    return out;
}

QStringList alerts(const FleetBoard& b)
{
    QStringList out;
    for (const FleetAlert& a : b.alerts())
        out << a.what();
    return out;
}

void feed(FleetBoard& b, const std::vector<Message>& messages)
{
    for (const Message& m : messages)
        EXPECT_TRUE(b.take(m.topic, m.payload, T0)) << m.topic;
}

const char* const A = "gx520/north/2/availability";
const char* const S = "gx520/north/2/state";
const char* const F = "gx520/north/2/fault";
const char* const Status = "gx520/north/status";
const QString Came = "north node 2: fault 17 came: Low oil pressure shutdown";

} // namespace

// A fault standing and a node offline when the board connects: FleetMode's alerts.
TEST(FleetBoard, MessagesMakeRowsAndAlerts)
{
    const struct {
        const char* what;
        std::vector<Message> messages;
        QStringList alerts;
        QStringList rows;
    } cases[] = {
        {"a fault that comes: its message and the state that shows it make one alert",
         {{A, "online"}, {S, state(4)}, {F, fault(true)}, {S, state(5, 17)}}, {Came}, {"north/2 online fault"}},
        {"the state before the fault message", {{A, "online"}, {S, state(4)}, {S, state(5, 17)}, {F, fault(true)}},
         {Came}, {"north/2 online fault"}},
        {"a fault that clears", {{A, "online"}, {S, state(4)}, {F, fault(true)}, {F, fault(false)}, {S, state(0)}},
         {Came, "north node 2: fault 17 cleared: Low oil pressure shutdown"}, {"north/2 online -"}},
        {"a node that goes offline and comes back",
         {{A, "online"}, {S, state(0)}, {A, "offline"}, {A, "offline"}, {A, "online"}},
         {"north node 2: offline", "north node 2: online again"}, {"north/2 online -"}},
        {"a service that stops: its nodes grey, whatever their own availability",
         {{Status, "online"}, {A, "online"}, {S, state(5, 17)}, {Status, "offline"}},
         {"north node 2: fault 17 standing: Low oil pressure shutdown", "north: service offline"},
         {"north/2 service offline service offline"}},
        {"a service found offline, and back", {{Status, "offline"}, {A, "online"}, {Status, "online"}},
         {"north: service offline (found so on connecting)", "north: service online again"}, {"north/2 online -"}},
        {"the direct line goes by the site's name", {{"gx520/south/0/state", state(5, 17)}},
         {"south: fault 17 standing: Low oil pressure shutdown"}, {"south/0  fault"}},
        {"a fault message before any state", {{F, fault(true)}}, {Came}, {"north/2  -"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FleetBoard board;
        feed(board, c.messages);
        EXPECT_EQ(alerts(board), c.alerts);
        EXPECT_EQ(rows(board), c.rows);
        EXPECT_EQ(board.ignored(), 0);
    }
}

// Every message the board refuses, counted with its reason (shown in the
// status line as the last one ignored), and the node as it was.
TEST(FleetBoard, BadMessagesAreCountedWithTheirReasonAndChangeNothing)
{
    FleetBoard board;
    feed(board, {{A, "online"}, {S, state(4)}});
    const QJsonObject before = statusJson(board.node(0).status);
    const QByteArray good = state(4);
    const auto edited = [&good](const char* key, const QJsonValue& value) {
        QJsonObject o = QJsonDocument::fromJson(good).object();
        if (value.isUndefined())
            o.remove(QLatin1String(key));
        else
            o.insert(QLatin1String(key), value);
        return QJsonDocument(o).toJson();
    };
    const struct {
        const char* topic;
        QByteArray payload;
        const char* why;
    } bad[] = {
        {F, "", "not JSON"},  // an empty state clears a node no longer watched
        {S, "[1,2,3]", "not a JSON object"},
        {S, "{\"state\": 4,", "not JSON"},
        {S, QByteArray(MaxMessageBytes + 1, ' '), "more than a message may hold"},
        {S, edited("volts", QJsonValue::Undefined), "\"volts\""},
        {S, edited("volts", QJsonArray{1, 2}), "\"volts\""},
        {S, edited("amps", QJsonArray{1, 2, "3"}), "\"amps\""},
        {S, edited("state", 4.5), "\"state\""},
        {S, edited("state", "4"), "\"state\""},
        {S, edited("battery_v", QJsonValue::Null), "\"battery_v\""},
        {S, edited("fault", 17), "\"fault\""},
        {S, edited("time", "yesterday"), "\"time\""},
        {S, edited("fault_code", 1e12), "\"fault_code\""},
        {S, edited("hours_run", QJsonValue::Undefined), "\"hours_run\""},
        {F, "{}", "\"code\""},
        {F, R"({"code":17,"text":"x","state":"gone","time":"2026-12-06T14:05:09Z"})", "\"state\""},
        {A, "gone", "neither \"online\" nor \"offline\""},
        {"gx520/north/2/command", "start", "does not read \"command\""},
        {"gx520/north/two/state", good, "not a topic of a site's service"},
        {"other/north/2/state", good, "not a topic of a site's service"},
        {"gx520/north/2/info", R"({"model":"GX520","firmware":"2.01","unit_id":"","site_name":"","commands":["jump"]})",
         "\"commands\""},
        {"gx520/north/2/info", R"({"model":"GX520","firmware":2.01,"unit_id":"","site_name":"","commands":[]})",
         "\"firmware\""},
        {"gx520/north/2/link", "{}", "does not read \"link\""},
    };
    int n = 0;
    for (const auto& m : bad) {
        SCOPED_TRACE(m.payload.left(80).toStdString());
        EXPECT_FALSE(board.take(m.topic, m.payload, T0)) << m.topic;
        EXPECT_EQ(board.ignored(), ++n);
        EXPECT_TRUE(board.lastIgnored().contains(QString::fromUtf8(m.why))) << board.lastIgnored().toStdString();
    }
    EXPECT_EQ(board.lastIgnored(), "gx520/north/2/link: the board does not read \"link\" messages");
    EXPECT_EQ(rows(board), QStringList{"north/2 online -"});
    EXPECT_EQ(statusJson(board.node(0).status), before);
    EXPECT_TRUE(board.alerts().isEmpty());
    EXPECT_TRUE(board.take(S, edited("extra", "a key of a later version"), T0)) << "keys it does not know are left alone";
}

TEST(FleetBoard, ServiceRemindersByRunHours)
{
    const struct {
        double interval, last, hours;
        const char* text;
    } due[] = {
        {250, 1000, 1212.6, "service due in 38 h"}, {250, 1000, 1249.5, "service due in 1 h"},
        {250, 1000, 1250, "service due now"},       {250, 1000, 1250.9, "service due now"},
        {250, 1000, 1262.2, "service overdue by 12 h"}, {0, 1000, 5000, ""},
    };
    for (const auto& d : due)
        EXPECT_EQ(serviceDueText(serviceDueIn({d.interval, d.last}, d.hours)), d.text) << d.hours;

    const ReminderMap map{{nodeKey("north", 2), {250, 1000.5}}, {nodeKey("south-yard", 0), {500, 0}}};
    EXPECT_EQ(readRemindersFile(remindersFile(map)), map);
    const struct {
        QByteArray file;
        const char* why;
    } bad[] = {
        {"[]", "no list of \"reminders\""},  // not JSON at all: FleetMode
        {R"({"reminders": [{"site": "a b", "node": 1, "interval_h": 1, "last_service_h": 0}]})", "reminder 1: \"site\""},
        {R"({"reminders": [{"site": "a", "node": 17, "interval_h": 1, "last_service_h": 0}]})", "\"node\""},
        {R"({"reminders": [{"site": "a", "node": 1, "interval_h": "1", "last_service_h": 0}]})", "\"interval_h\""},
        {R"({"reminders": [{"site": "a", "node": 1, "interval_h": 1}]})", "\"last_service_h\""},
        {R"({"reminders": [{"site": "a", "node": 1, "interval_h": 1, "last_service_h": 0},
                           {"site": "a", "node": 1, "interval_h": 2, "last_service_h": 0}]})", "reminder 2: a node 1 is given twice"},
    };
    for (const auto& b : bad) {
        QString why;
        EXPECT_FALSE(readRemindersFile(b.file, &why)) << b.file.toStdString();
        EXPECT_TRUE(why.contains(QString::fromUtf8(b.why))) << why.toStdString();
    }

    // On the board: overdue once the hours pass the interval.
    FleetBoard board;
    board.setReminders(map);
    feed(board, {{A, "online"}, {S, state(3, 0, 1200)}});
    EXPECT_EQ(board.attention(0), Attention::None);
    feed(board, {{S, state(3, 0, 1251)}});
    EXPECT_EQ(board.attention(0), Attention::ServiceOverdue);
    board.setReminder("north", 2, {250, 1251});
    EXPECT_EQ(board.attention(0), Attention::None);
    EXPECT_EQ(*board.serviceDueIn(0), 250);
}

TEST(FleetBoard, TheBoardAsCsvAsTheDataLogWritesIt)
{
    FleetBoard board;
    board.setReminders({{nodeKey("north", 2), {250, 1000}}});
    feed(board, {{A, "online"},
                 {S, state(5, 17, 1262.25)},
                 {"gx520/north/2/info", infoMessage({"GX520", "2.01", "GX520 V2.01", "North, yard", {}})},
                 {"gx520/south/1/availability", "offline"}});
    const QStringList lines = board.csv().split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "site,node,model,firmware,availability,state,state_text,mode,fault_code,fault,hours_run,"
                        "service_interval_h,last_service_h,service_due_h,last_message");
    EXPECT_EQ(lines[1], "north,2,GX520,2.01,online,5,Shut down,AUTO,17,Low oil pressure shutdown,1262.25,250.0,1000.00,"
                        "-12.25," + isoTime(T0));
    EXPECT_EQ(lines[2], "south,1,,,offline,,,,,,,,,,");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(csvFields(lines[1]).size(), csvFields(lines[0]).size());
}

// Volts, battery, speed, temperature and hours on the remote view: FleetMode and FleetE2E.
TEST(FleetBoard, ARemoteNodeOnTheInstruments)
{
    StatusSummary s = summary(4, 0, 1234.5);
    s.amps = {15, 16, 14};
    s.frequency = 50;
    s.oilPressure = 58;
    const PollView v = pollViewOf(s);
    EXPECT_EQ(std::tuple(v.top, v.bottom, v.blink.dark, v.blink.beep), std::tuple(s.lcdTop, s.lcdBottom, false, false));
    EXPECT_EQ(std::pair(v.gauges.amps[2], v.gauges.hertz), std::pair(14.0, 50.0));
    EXPECT_NEAR(v.gauges.oil, 4.0, 0.01) << "58 psi on the gauge's bar scale";
    s.faultCode = 17;
    EXPECT_TRUE(pollViewOf(s).blink.dark) << "the display darkens while a fault stands";
}

TEST(FleetTable, RowsInFaultOrOfflineFirstThenAnyColumnFilterAndColours)
{
    FleetBoard board;
    board.setReminders({{nodeKey("south", 2), {100, 0}}});
    feed(board, {{"gx520/north/1/state", state(4, 0, 10)},
                 {"gx520/north/2/state", state(5, 17, 20)},
                 {"gx520/south/1/availability", "offline"},
                 {"gx520/south/1/state", state(0, 0, 30)},
                 {"gx520/south/2/state", state(0, 0, 140)},
                 {"gx520/west/0/state", state(0, 0, 50)},
                 {"gx520/west/status", "offline"}});
    FleetTable table(board);
    FleetOrder order;
    order.setSourceModel(&table);
    auto shown = [&] {
        QStringList out;
        for (int r = 0; r < order.rowCount(); ++r)
            out << order.index(r, FleetTable::Site).data().toString() + '/'
                       + order.index(r, FleetTable::Node).data().toString();
        return out;
    };
    const struct {
        bool attentionFirst;
        int column;
        Qt::SortOrder sortOrder;
        const char* filter;
        QStringList rows;
    } views[] = {
        {true, FleetTable::Site, Qt::AscendingOrder, "", {"north/2", "west/0", "south/1", "south/2", "north/1"}},
        {false, FleetTable::Site, Qt::AscendingOrder, "", {"north/1", "north/2", "south/1", "south/2", "west/0"}},
        {false, FleetTable::HoursRun, Qt::DescendingOrder, "", {"south/2", "west/0", "south/1", "north/2", "north/1"}},
        {true, FleetTable::HoursRun, Qt::DescendingOrder, "", {"north/2", "west/0", "south/1", "south/2", "north/1"}},
        {true, FleetTable::Site, Qt::AscendingOrder, "SOUTH", {"south/1", "south/2"}},
        {true, FleetTable::Site, Qt::AscendingOrder, "low oil", {"north/2"}},
        {true, FleetTable::Site, Qt::AscendingOrder, "service", {"west/0", "south/2"}},
    };
    for (const auto& v : views) {
        order.setAttentionFirst(v.attentionFirst);
        order.setFilterFixedString(v.filter);
        order.sort(v.column, v.sortOrder);
        EXPECT_EQ(shown(), v.rows) << v.attentionFirst << " " << v.column << " " << v.filter;
    }

    auto cell = [&](int row, int column, int role) { return table.index(row, column).data(role); };
    EXPECT_EQ(cell(1, FleetTable::Fault, Qt::DisplayRole).toString(), "Low oil pressure shutdown (17)");
    EXPECT_FALSE(cell(0, FleetTable::Fault, Qt::ForegroundRole).isValid());
    for (int row : {2, 4})
        EXPECT_EQ(cell(row, FleetTable::State, Qt::ForegroundRole).value<QColor>(), QColor(140, 140, 140)) << row;
    // The red of a fault, "service offline" and the overdue text: FleetE2E and FleetMode.
    EXPECT_TRUE(cell(3, FleetTable::Service, Qt::FontRole).value<QFont>().bold());

    // Rows come and go with the board (a node the service no longer watches).
    board.take("gx520/north/1/state", "", T0);
    EXPECT_EQ(table.rowCount(), 4);
    EXPECT_EQ(order.rowCount(), 2) << "the filter \"service\" still applies";
}
