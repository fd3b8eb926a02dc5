#pragma once

// The trend's readings over minutes to hours in fixed memory, with the state changes and faults beside them.

#include "monitor/statussummary.h"

#include <QList>
#include <QPointF>
#include <QString>

#include <array>
#include <deque>

namespace gx {

// The readings of the last minutes to hours, for the trend view, in a fixed
// amount of memory whatever the run's length: the newest polls as they came,
// older ones averaged `factor` to one, the oldest dropped. State changes and
// faults are kept as events beside them.
class TrendBuffer {
public:
    enum Quantity { Voltage, Current, Frequency, OilPressure, EngineTemperature, Battery, EngineSpeed, Quantities };
    static QString name(Quantity q);  // "Generator voltage (V)", ...

    struct Event {
        qint64 ms = 0;
        QString text;
        bool fault = false;
    };

    explicit TrendBuffer(int recent = 1200, int older = 1440, int factor = 10, int events = 500);

    // One poll at `ms` (milliseconds since the epoch).
    void add(qint64 ms, const StatusSummary& s);
    void clear();

    // A quantity's points (x: ms since the epoch) from `fromMs` on, at most
    // `maxPoints` of them (averaged down where there are more).
    QList<QPointF> series(Quantity q, qint64 fromMs, int maxPoints) const;
    const std::deque<Event>& events() const { return m_events; }
    int pointCount() const { return int(m_recent.size() + m_older.size()); }
    int capacity() const { return m_recentCapacity + m_olderCapacity; }
    qint64 firstMs() const;
    qint64 lastMs() const;

private:
    struct Point {
        qint64 ms;
        std::array<float, Quantities> v;
    };
    void decimate();

    int m_recentCapacity, m_olderCapacity, m_factor, m_eventCapacity;
    std::deque<Point> m_recent, m_older;
    std::deque<Event> m_events;
    bool m_any = false;
    int m_lastState = -1;
    int m_lastFault = -1;
};

} // namespace gx
