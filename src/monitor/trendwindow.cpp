// Building the trend window's charts and redrawing them from the trend buffer over the chosen span.

#include "monitor/trendwindow.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCursor>
#include <QToolTip>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace gx {

TrendWindow::TrendWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("TrendWindow"));
    setWindowTitle(QStringLiteral("GX510-520 Trends"));
    resize(980, 720);
    auto* outer = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Show the last:")));
    ComboSpan = new QComboBox;
    ComboSpan->setObjectName(QStringLiteral("ComboSpan"));
    const std::pair<const char*, int> spans[] = {{"10 minutes", 10}, {"1 hour", 60}, {"6 hours", 360}, {"all kept", 0}};
    for (const auto& [text, minutes] : spans)
        ComboSpan->addItem(QString::fromLatin1(text), minutes);
    top->addWidget(ComboSpan);
    auto* legend = new QLabel(QStringLiteral("Marks on the time axis: <span style='color:#2060d0'>&#9679;</span> state "
                                             "change, <span style='color:#d02020'>&#9679;</span> fault (point at one "
                                             "for its text)"));
    top->addWidget(legend, 1);
    outer->addLayout(top);

    auto* grid = new QGridLayout;
    for (int q = 0; q < TrendBuffer::Quantities; ++q) {
        Chart& c = m_charts[size_t(q)];
        c.chart = new QChart;
        c.chart->setTitle(TrendBuffer::name(TrendBuffer::Quantity(q)));
        c.chart->legend()->hide();
        c.chart->setMargins(QMargins(2, 2, 2, 2));
        c.chart->setAnimationOptions(QChart::NoAnimation);
        c.line = new QLineSeries;
        c.states = new QScatterSeries;
        c.states->setMarkerSize(7);
        c.states->setColor(QColor(0x20, 0x60, 0xd0));
        c.faults = new QScatterSeries;
        c.faults->setMarkerSize(8);
        c.faults->setColor(QColor(0xd0, 0x20, 0x20));
        c.time = new QDateTimeAxis;
        c.time->setFormat(QStringLiteral("HH:mm"));
        c.time->setTickCount(5);
        c.value = new QValueAxis;
        c.value->setLabelFormat(QStringLiteral("%.0f"));
        c.chart->addAxis(c.time, Qt::AlignBottom);
        c.chart->addAxis(c.value, Qt::AlignLeft);
        for (QXYSeries* s : std::initializer_list<QXYSeries*>{c.line, c.states, c.faults}) {
            c.chart->addSeries(s);
            s->attachAxis(c.time);
            s->attachAxis(c.value);
        }
        for (QScatterSeries* s : {c.states, c.faults})
            connect(s, &QScatterSeries::hovered, this, [this](const QPointF& at, bool over) {
                if (!over || m_events.empty())
                    return;
                const auto nearest = std::min_element(m_events.begin(), m_events.end(), [&](const auto& a, const auto& b) {
                    return std::abs(double(a.ms) - at.x()) < std::abs(double(b.ms) - at.x());
                });
                QToolTip::showText(QCursor::pos(), QDateTime::fromMSecsSinceEpoch(nearest->ms).toString(QStringLiteral("HH:mm:ss "))
                                                       + nearest->text);
            });
        ChartView[size_t(q)] = new QChartView(c.chart);
        ChartView[size_t(q)]->setObjectName(QStringLiteral("ChartView(%1)").arg(q));
        ChartView[size_t(q)]->setRenderHint(QPainter::Antialiasing, false);
        ChartView[size_t(q)]->setMinimumHeight(150);
        grid->addWidget(ChartView[size_t(q)], q / 2, q % 2);
    }
    outer->addLayout(grid, 1);
}

int TrendWindow::spanMinutes() const
{
    return ComboSpan->currentData().toInt();
}

void TrendWindow::refresh(const TrendBuffer& buffer)
{
    m_events = buffer.events();
    const qint64 last = buffer.lastMs();
    const qint64 from = spanMinutes() > 0 ? last - qint64(spanMinutes()) * 60000 : buffer.firstMs();
    for (int q = 0; q < TrendBuffer::Quantities; ++q) {
        Chart& c = m_charts[size_t(q)];
        const QList<QPointF> points = buffer.series(TrendBuffer::Quantity(q), from, PointsPerChart);
        c.line->replace(points);
        double low = 0, high = 1;
        for (const QPointF& p : points)
            high = std::max(high, p.y());
        for (const QPointF& p : points)
            low = std::min(low, p.y());
        high = std::ceil(high * 1.05);
        QList<QPointF> states, faults;
        for (const TrendBuffer::Event& e : buffer.events())
            if (e.ms >= from)
                (e.fault ? faults : states).append(QPointF(double(e.ms), low));
        c.states->replace(states);
        c.faults->replace(faults);
        c.time->setRange(QDateTime::fromMSecsSinceEpoch(from), QDateTime::fromMSecsSinceEpoch(std::max(last, from + 60000)));
        c.value->setRange(low, high);
        c.value->applyNiceNumbers();
    }
}

} // namespace gx
