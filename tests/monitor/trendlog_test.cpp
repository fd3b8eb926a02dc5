// The trend's fixed memory and the CSV data log.

#include "monitor/datalogger.h"
#include "monitor/trendbuffer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace gx;

namespace {

StatusSummary poll(int state, int volts, int fault = 0)
{
    StatusSummary s;
    s.state = state;
    s.stateText = stateName(state);
    s.mode = "AUTO";
    s.lcdTop = "AUTO On load";
    s.lcdBottom = "230V, 15A";
    s.volts = {volts, volts, 0};
    s.amps = {15, 15, 0};
    s.frequency = 50;
    s.battery = 13.6;
    s.hoursRun = 1234.56;
    s.faultCode = fault;
    s.faultText = fault ? "Low oil \"pressure\"" : "";
    return s;
}

} // namespace

TEST(TrendBuffer, StaysAtItsBoundWhateverTheRunLengthAndKeepsTheShape)
{
    TrendBuffer t(100, 50, 10, 20);
    for (int i = 0; i < 100000; ++i)  // days of polls
        t.add(qint64(i) * 600, poll(i % 1000 < 500 ? 0 : 4, 200 + i % 10, i % 1000 == 999 ? 17 : 0));
    EXPECT_EQ(t.pointCount(), 150);
    EXPECT_EQ(t.events().size(), 20u);
    EXPECT_EQ(t.lastMs(), qint64(99999) * 600);
    EXPECT_EQ(t.firstMs(), t.lastMs() - (100 + 50 * 10 - 1) * 600) << "the oldest averaged points reach back far";
    const QList<QPointF> v = t.series(TrendBuffer::Voltage, 0, 40);
    for (const QPointF& p : v)
        EXPECT_GE(p.y(), 200) << "a phase that carries nothing is left out of the mean";
    EXPECT_LE(v.first().x(), v.last().x());
    EXPECT_EQ(t.series(TrendBuffer::Frequency, t.lastMs() - 600 * 9, 0).size(), 10);
}

TEST(DataLogger, AppendsOneRowAPollToAFilePerDayAcrossRestarts)
{
    QTemporaryDir dir;
    const QDateTime day1({2026, 12, 6}, {23, 59, 58}, Qt::OffsetFromUTC, 3600);
    {
        DataLogger log;
        log.setFolder(dir.filePath("logs"));
        QString why;
        ASSERT_TRUE(log.append(day1, poll(0, 0), 0, &why)) << qPrintable(why);
        ASSERT_TRUE(log.append(day1.addSecs(1), poll(4, 231, 17), 0, &why));
        ASSERT_TRUE(log.append(day1.addSecs(2), poll(4, 231), 0, &why));  // the next day
        ASSERT_TRUE(log.append(day1, poll(4, 232), 3, &why));  // a network node has its own file
    }
    DataLogger again;  // a restart appends
    again.setFolder(dir.filePath("logs"));
    ASSERT_TRUE(again.append(day1.addSecs(1), poll(5, 0), 0, nullptr));

    auto lines = [&](const QString& name) {
        QFile f(QDir(dir.filePath("logs")).filePath(name));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts) : QStringList();
    };
    const QStringList first = lines("GX520 2026-12-06.csv");
    ASSERT_EQ(first.size(), 4) << "one header, three rows";
    EXPECT_EQ(first[0], csvHeader());
    EXPECT_EQ(first[1], "2026-12-06T23:59:58+01:00,0,Stopped,AUTO,AUTO On load,\"230V, 15A\",0,0,0,15,15,0,50,0,0,13.6,0,"
                        "1234.56,0,");
    const QStringList faulty = csvFields(first[2]);
    EXPECT_EQ(faulty.last(), "Low oil \"pressure\"");
    EXPECT_EQ(faulty.size(), csvFields(first[0]).size());
    EXPECT_EQ(csvFields(first[3])[2], "Shut down");
    EXPECT_EQ(lines("GX520 2026-12-07.csv").size(), 2);
    EXPECT_EQ(lines("GX520 node 3 2026-12-06.csv").size(), 2);

    DataLogger nowhere;
    QFile blocker(dir.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    nowhere.setFolder(dir.filePath("file/logs"));
    QString why;
    EXPECT_FALSE(nowhere.append(day1, poll(0, 0), 0, &why));
    EXPECT_FALSE(why.isEmpty());
}
