#pragma once

// The instrument panel's own painted widgets: dial gauge, bar gauge, LED, row of
// LEDs and hours counter. They scale with their size, keep their aspect and only
// show what they are given; the monitor screens set values, scales, bands,
// captions and colours.

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <array>
#include <vector>

class QLabel;

namespace gx {

// Dial gauge with a 270-degree scale, up to three pointers and up to three
// scales (pointer k reads on scale k; the dial shows the ticks and bands of
// scale 0). Each scale has a maximum, major and minor tick spacings and four
// coloured bands numbered 0..3: 0 red (shutdown), 1 orange-red (alarm),
// 2 green (normal), 3 yellow (low).
class AGauge : public QWidget {
    Q_OBJECT
public:
    static constexpr int MaxPointers = 3;
    struct Band {
        double from = 0.0;
        double to = 0.0;
        bool shown = false;
    };

    explicit AGauge(QWidget* parent = nullptr);

    // The gauge's design: maximum and tick spacings of every scale, which the
    // gauge keeps until set otherwise.
    void setDesign(double maximum, double major, double minor);
    double designMaximum() const { return m_designMax; }

    void setPointerCount(int count);  // 1..3
    int pointerCount() const { return m_pointers; }

    void setValue(int pointer, double value);
    void setValue(double value) { setValue(0, value); }
    double value(int pointer = 0) const;

    void setPointerColour(int pointer, const QColor& colour);
    QColor pointerColour(int pointer) const;
    // Back to the pointer's own colour.
    void resetPointerColour(int pointer);
    static QColor ownPointerColour(int pointer, int pointerCount);

    void setMaximum(int scale, double maximum);
    void setMaximum(double maximum);  // every scale
    double maximum(int scale = 0) const;
    void setTicks(int scale, double major, double minor);
    double majorTick(int scale = 0) const;
    double minorTick(int scale = 0) const;

    void setBand(int scale, int band, double from, double to);
    void clearBand(int scale, int band);
    void clearBands();
    Band band(int scale, int band) const;
    static QColor bandColour(int band);

    void setCaption(const QString& caption);
    QString caption() const { return m_caption; }
    // Decimals of the value read-out under a single pointer; -1 hides it.
    void setReadoutDecimals(int decimals);

    QSize sizeHint() const override { return {180, 180}; }
    QSize minimumSizeHint() const override { return {70, 70}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    struct Scale {
        double maximum = 100.0;
        double major = 10.0;
        double minor = 2.0;
        std::array<Band, 4> bands{};
    };
    double angleFor(int scale, double value) const;
    bool valid(int index) const { return index >= 0 && index < MaxPointers; }
    // The dial's square, in whole pixels, centred in the widget.
    QRect dialRect() const;
    // The parts that change only with the scale, the caption or the size (the
    // dial face with its bands, ticks, numbers and caption; the hub and the
    // glass over the pointers) are drawn once into pixmaps; a new value draws
    // only the read-outs and the pointers between them.
    void drawFace(QPainter& p) const;
    static void drawHubAndGlass(QPainter& p);
    QPixmap layer(void (*draw)(const AGauge&, QPainter&)) const;
    void faceChanged();
    QPixmap m_face;
    QPixmap m_glass;

    double m_designMax = 100.0;
    int m_pointers = 1;
    std::array<Scale, MaxPointers> m_scales{};
    std::array<double, MaxPointers> m_values{};
    std::array<QColor, MaxPointers> m_colours{};
    QString m_caption;
    int m_decimals = -1;
};

// Bar gauge 0..100 percent of segments, green, then amber, then red.
class LGauge : public QWidget {
    Q_OBJECT
public:
    explicit LGauge(QWidget* parent = nullptr);
    void setValue(double percent);
    double value() const { return m_value; }
    QSize sizeHint() const override { return {200, 28}; }
    QSize minimumSizeHint() const override { return {80, 16}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    double m_value = 0.0;
};

// Round lamp: lit in its on colour, dull in its off colour.
class LED : public QWidget {
    Q_OBJECT
public:
    explicit LED(QWidget* parent = nullptr);
    void setOn(bool on);
    bool isOn() const { return m_on; }
    void setOnColour(const QColor& colour);
    void setOffColour(const QColor& colour);
    QColor onColour() const { return m_onColour; }
    QColor offColour() const { return m_offColour; }
    // The colour it shows now.
    QColor colour() const { return m_on ? m_onColour : m_offColour; }
    QSize sizeHint() const override { return {18, 18}; }
    QSize minimumSizeHint() const override { return {10, 10}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    bool m_on = false;
    QColor m_onColour{0, 230, 0};
    QColor m_offColour{0, 70, 0};
};

// A row (or column) of LEDs driven by one byte: bit i lights LED i. Each LED
// may have a label beside it.
class LEDRow : public QWidget {
    Q_OBJECT
public:
    LEDRow(int count, Qt::Orientation orientation, bool withLabels, QWidget* parent = nullptr);
    void setValue(int byte);
    int value() const { return m_value; }
    int count() const { return int(m_leds.size()); }
    LED* led(int i) const { return m_leds.at(i); }
    QLabel* label(int i) const;  // nullptr without labels
    void setOnColour(const QColor& colour);
    void setOffColour(const QColor& colour);

private:
    int m_value = 0;
    std::vector<LED*> m_leds;
    std::vector<QLabel*> m_labels;
};

// Hours-run counter: six wheels of hours and one of tenths, as 001234.5. While
// active the counter follows its value; inactive it holds what it shows.
class Odometer : public QWidget {
    Q_OBJECT
public:
    explicit Odometer(QWidget* parent = nullptr);
    void setValue(double hours);
    double value() const { return m_value; }
    void setActive(bool active);
    bool isActive() const { return m_active; }
    // The reading on the wheels, e.g. "001234.5".
    QString displayedText() const;
    QSize sizeHint() const override { return {200, 50}; }
    QSize minimumSizeHint() const override { return {90, 24}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    double m_value = 0.0;
    double m_shown = 0.0;
    bool m_active = false;
};

// A clickable picture of the controller's mode keys, drawn in place.
class ModePicture : public QAbstractButton {
    Q_OBJECT
public:
    enum class Kind { Auto, ManStart, ManStop };
    explicit ModePicture(Kind kind, QWidget* parent = nullptr);
    Kind kind() const { return m_kind; }
    QSize sizeHint() const override { return {64, 52}; }
    QSize minimumSizeHint() const override { return {40, 32}; }

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    Kind m_kind;
    bool m_hover = false;
};

} // namespace gx
