#pragma once

// The single-unit live monitor: a copy of the controller's LCD, the dial gauges,
// the over-current bar, the hours counter, output and input LEDs, the override
// indication, the command buttons and the mode pictures. It only shows what it
// is given: the set-up from the uploaded profile and one poll's view (lcd.h).

#include "link/linkhealth.h"
#include "monitor/instruments.h"
#include "monitor/lcd.h"

#include <QObject>

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace gx {

struct Profile;

class MonitorScreen : public QObject {
    Q_OBJECT
public:
    // Fills `frame` (the monitor's frame, which keeps its caption) with the panel.
    explicit MonitorScreen(QWidget* frame);

    QWidget* panel() const { return m_panel; }

    // Screen set-up when monitoring starts. `standBack` is the colour that the
    // pointers of absent phases take (the desktop's active-border colour). The
    // profile overload works the set-up out first and returns it (its
    // ATSsupport is needed by every poll).
    void setUp(const ScreenSetup& setup, const QColor& standBack);
    ScreenSetup setUp(const Profile& uploaded, const std::array<QString, 16>& inputFunctionText,
                      const std::array<QString, 53>& outputFunctionText, const QColor& standBack);

    // "Unit ID: " + id.
    void setUnitId(const QString& id);

    // Heartbeat: green and black in turn, once per poll.
    void beat();
    bool heartbeatGreen() const;

    // Draws one good poll: LCD text and blink, beep, Alarm Mute enabling,
    // gauges, bar, counter, LEDs and the override indication.
    void show(const PollView& view);

    // Alarm Mute (CommandControl(4)) enabled: the alarm beeps on a fault.
    bool muteEnabled() const;
    void setMuteEnabled(bool enabled);

    // The hours counter follows its value while active.
    void setHoursActive(bool active);

    QColor lcdBackground() const { return m_lcdBackground; }
    static QColor lcdNormal() { return {192, 192, 0}; }
    static QColor lcdBlink() { return {128, 128, 0}; }

    // The computer's beep; the default rings the desktop's bell.
    std::function<void()> beep;

    // Controls, by their names. Label1 has entries 2..6, 10..13, 22, 23; the
    // others are nullptr.
    QPlainTextEdit* TextLCD = nullptr;
    LED* ShapeComStatus = nullptr;
    AGauge* AGaugeGenV = nullptr;
    AGauge* AGaugeGenI = nullptr;
    AGauge* AGaugeGenHz = nullptr;
    AGauge* AGaugeLOP = nullptr;
    AGauge* AGaugeHET = nullptr;
    AGauge* AGaugeBatt = nullptr;
    AGauge* AGaugeRPM = nullptr;
    LGauge* LGaugeIDMT = nullptr;
    Odometer* OdometerHours = nullptr;
    LEDRow* LEDoutputs = nullptr;
    LEDRow* LEDinputs = nullptr;
    QLabel* LabelOverride = nullptr;
    std::array<QLabel*, 24> Label1{};
    std::array<QPushButton*, 9> CommandControl{};
    std::array<ModePicture*, 3> ImageButton{};
    // Beyond the controller's own display: the trend window, logging to CSV
    // files and the health of the line.
    QPushButton* CommandTrend = nullptr;
    QCheckBox* CheckLogging = nullptr;
    QPushButton* CommandLogFolder = nullptr;
    QLabel* LabelLinkHealth = nullptr;
    QPushButton* CommandLinkReset = nullptr;
    void showLinkHealth(const LinkCounts& counts);

signals:
    void commandClicked(int index);
    void imageClicked(int index);
    void trendClicked();
    void loggingToggled(bool on);
    void logFolderClicked();
    void linkResetClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void rescale();
    void setLcdBackground(const QColor& colour);
    QWidget* gaugeCell(const QString& title, AGauge* gauge, QLabel* titleLabel = nullptr);

    QWidget* m_frame;
    QWidget* m_panel = nullptr;
    std::array<QLabel*, 7> m_gaugeTitles{};
    QColor m_lcdBackground = lcdNormal();
    LinkCounts m_linkCounts;  // as last shown, for the tooltip
};

} // namespace gx
