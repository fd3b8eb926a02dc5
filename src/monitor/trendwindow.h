#pragma once

// The trend window: graphs of the live monitor's readings with state changes and faults along the time axis.

#include "monitor/trendbuffer.h"

#include <QWidget>

#include <array>

class QComboBox;
class QChart;
class QChartView;
class QDateTimeAxis;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace gx {

// The readings of the live monitor as graphs over the last minutes to hours:
// generator voltage, current and frequency, oil pressure, engine temperature,
// battery and engine speed, with the state changes (blue) and faults (red)
// marked along the time axis. It draws what the buffer holds when told to.
class TrendWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int PointsPerChart = 600;  // about one a pixel

    explicit TrendWindow(QWidget* parent = nullptr);

    // Redraws from the buffer (each series handed over whole, axes set once).
    void refresh(const TrendBuffer& buffer);
    // The span shown, in minutes (0: everything kept).
    int spanMinutes() const;

    QComboBox* ComboSpan = nullptr;
    std::array<QChartView*, TrendBuffer::Quantities> ChartView{};

private:
    struct Chart {
        QChart* chart = nullptr;
        QLineSeries* line = nullptr;
        QScatterSeries* states = nullptr;
        QScatterSeries* faults = nullptr;
        QDateTimeAxis* time = nullptr;
        QValueAxis* value = nullptr;
    };
    std::array<Chart, TrendBuffer::Quantities> m_charts{};
    std::deque<TrendBuffer::Event> m_events;
};

} // namespace gx
