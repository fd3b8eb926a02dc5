// Keeping the trend's readings: recent polls as they came, older ones averaged, series thinned for drawing.

#include "monitor/trendbuffer.h"

#include <algorithm>

namespace gx {

QString TrendBuffer::name(Quantity q)
{
    static const char* names[Quantities] = {"Generator voltage (V)", "Generator current (A)", "Frequency (Hz)",
                                            "Oil pressure (psi)",    "Engine temperature (°C)", "Battery (V)",
                                            "Engine speed (rpm)"};
    return QString::fromUtf8(names[q]);
}

TrendBuffer::TrendBuffer(int recent, int older, int factor, int events)
    : m_recentCapacity(recent), m_olderCapacity(older), m_factor(std::max(2, factor)), m_eventCapacity(events)
{
}

void TrendBuffer::clear()
{
    m_recent.clear();
    m_older.clear();
    m_events.clear();
    m_lastState = m_lastFault = -1;
}

namespace {
// The mean of the phases that carry something (all three when none does).
float phaseMean(const std::array<int, 3>& v)
{
    int sum = 0, used = 0;
    for (int x : v)
        if (x > 0) {
            sum += x;
            ++used;
        }
    return used ? float(sum) / float(used) : 0.0f;
}
} // namespace

void TrendBuffer::add(qint64 ms, const StatusSummary& s)
{
    Point p{ms, {}};
    p.v[Voltage] = phaseMean(s.volts);
    p.v[Current] = phaseMean(s.amps);
    p.v[Frequency] = float(s.frequency);
    p.v[OilPressure] = float(s.oilPressure);
    p.v[EngineTemperature] = float(s.engineTemperature);
    p.v[Battery] = float(s.battery);
    p.v[EngineSpeed] = float(s.engineSpeed);
    m_recent.push_back(p);
    if (int(m_recent.size()) > m_recentCapacity)
        decimate();

    if (s.state != m_lastState && m_lastState >= 0)
        m_events.push_back({ms, s.stateText, false});
    if (s.faultCode != m_lastFault && s.faultCode != 0)
        m_events.push_back({ms, s.faultText.isEmpty() ? QStringLiteral("Fault %1").arg(s.faultCode) : s.faultText, true});
    while (int(m_events.size()) > m_eventCapacity)
        m_events.pop_front();
    m_lastState = s.state;
    m_lastFault = s.faultCode;
}

void TrendBuffer::decimate()
{
    // The oldest `factor` recent points become one older point.
    Point mean{m_recent.front().ms, {}};
    const int n = std::min<int>(m_factor, int(m_recent.size()));
    for (int i = 0; i < n; ++i) {
        for (int q = 0; q < Quantities; ++q)
            mean.v[size_t(q)] += m_recent.front().v[size_t(q)] / float(n);
        m_recent.pop_front();
    }
    m_older.push_back(mean);
    while (int(m_older.size()) > m_olderCapacity)
        m_older.pop_front();
}

qint64 TrendBuffer::firstMs() const
{
    return !m_older.empty() ? m_older.front().ms : !m_recent.empty() ? m_recent.front().ms : 0;
}

qint64 TrendBuffer::lastMs() const
{
    return m_recent.empty() ? firstMs() : m_recent.back().ms;
}

QList<QPointF> TrendBuffer::series(Quantity q, qint64 fromMs, int maxPoints) const
{
    QList<QPointF> all;
    for (const auto* part : {&m_older, &m_recent})
        for (const Point& p : *part)
            if (p.ms >= fromMs)
                all.append(QPointF(double(p.ms), double(p.v[size_t(q)])));
    if (maxPoints <= 0 || all.size() <= maxPoints)
        return all;
    QList<QPointF> out;
    out.reserve(maxPoints);
    const double per = double(all.size()) / maxPoints;
    for (int b = 0; b < maxPoints; ++b) {
        const qsizetype from = qsizetype(b * per), to = std::max(from + 1, qsizetype((b + 1) * per));
        double x = 0, y = 0;
        for (qsizetype i = from; i < to; ++i) {
            x += all[i].x();
            y += all[i].y();
        }
        out.append(QPointF(x / double(to - from), y / double(to - from)));
    }
    return out;
}

} // namespace gx
