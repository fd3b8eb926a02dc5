#pragma once

// What the live monitor shows, worked out without widgets: the screen set-up
// from the uploaded profile (scales, bands, labels) and, for every poll, the
// two LCD lines, the blink and beep, the gauge values, LEDs and counters.

#include "monitor/statusrecord.h"

#include <QString>

#include <array>
#include <optional>

namespace gx {

struct Profile;
class TimerReadout;

// The oil pressure gauge reads in bar unless the profile says psi.
inline constexpr double PsiPerBar = 14.493;

// ---------------------------------------------------------------- set-up

struct Band {
    double from = 0.0;
    double to = 0.0;
    bool operator==(const Band&) const = default;
};

// One dial scale. Unset values leave the gauge's own design in place.
struct ScaleSetup {
    std::optional<double> maximum;
    std::optional<double> major;  // tick spacing
    std::optional<double> minor;
    std::array<std::optional<Band>, 4> bands;  // by band number 0..3
};

struct GaugeSetup {
    ScaleSetup scale;
    bool visible = true;
    QString caption;  // "" keeps the gauge's own caption
};

struct LabelSetup {
    QString text;
    bool enabled = true;
};

struct ScreenSetup {
    int phases = 3;                      // SysValue(26)
    std::array<bool, 3> pointerShown{};  // false: the pointer stands back (absent phase)
    QString voltageTitle;                // Label1(13)
    ScaleSetup voltage;                  // the same for all three scales
    ScaleSetup current;                  // the same for all three scales
    ScaleSetup frequency;
    GaugeSetup oil;
    GaugeSetup temperature;
    ScaleSetup battery;
    GaugeSetup rpm;                      // thousands of rpm
    std::array<LabelSetup, 3> inputs;    // Label1(10..12), inputs 3..5
    std::array<LabelSetup, 4> outputs;   // Label1(2..5), outputs 1..4
    QString site;                        // Label1(23)
    int ATSsupport = 0;
    QString input1;                      // Label1(6)
    // Working values of the current scale choice.
    double FullScale = 0.0;
    int FScale = 1;
    int ScaleTicks = 3;
};

// The current gauge's scale: the smallest of 3, 4, 5, 6, 8, 10, 15, 20, 25, 30,
// 40, 50 ... (FScale 1, 2, 5, 10, 20, 50 ... times 3..5 ticks) that reaches
// fullScale.
struct CurrentScale {
    int FScale = 1;
    int ScaleTicks = 3;
    double maximum() const { return double(FScale) * ScaleTicks; }
    double minorTick() const;
};
CurrentScale currentScaleFor(double fullScale);

// The monitor screen's set-up from the uploaded profile. The function texts
// are the input (16) and output (53) option texts of the profile tables.
ScreenSetup UpdateScreenVariables(const Profile& uploaded,
                                  const std::array<QString, 16>& inputFunctionText,
                                  const std::array<QString, 53>& outputFunctionText);

// ---------------------------------------------------------------- one poll

// What one poll needs beyond the record and the image.
struct PollContext {
    bool networkMode = false;
    double firmVersion = 0.0;
    int ATSsupport = 0;
};

QString upperLine(const StatusRecord& r, int startAttempts, double firmVersion);

// The lower line before any fault text. The countdowns read their timers from
// the image through `timers`, which keeps the last value for timer numbers
// without bytes of their own.
QString lowerLine(const StatusRecord& r, const StatusImage& image, const PollContext& ctx,
                  TimerReadout& timers);

// Replaces FaultReg as the display sees it: 8 when the engine will not stop,
// 9 for bad oil pressure while cranking, the dump fault while off load.
void applyFaultAdjustments(StatusRecord& r, const StatusImage& image);

// "Battery  13.6 V".
QString batteryLine(double batVolt);
// "230V   15A  50HZ": average volts and amperes over the phases in use.
QString generatorLine(const StatusRecord& r, int phases, int voltageSwitch, int frequency);

struct BlinkDecision {
    bool dark = false;        // LCD background (128,128,0) instead of (192,192,0)
    bool beep = false;
    bool enableMute = false;  // the fault has gone: Alarm Mute may be used again
};
BlinkDecision blinkDecision(int faultReg, int state5, int toggle, bool muteEnabled);

// Input LEDs: bit 0 input 1 (remote start, or mains failed with ATS), bit 1
// charge fail, bits 2..4 inputs 3..5.
int inputLedByte(const StatusRecord& r, const StatusImage& image, int ATSsupport);

struct OverrideView {
    bool visible = false;
    QString text;
};
OverrideView overrideView(const StatusRecord& r, const StatusImage& image, bool networkMode,
                          TimerReadout& timers);

struct GaugeValues {
    std::array<double, 3> volts{};
    std::array<double, 3> amps{};
    double hertz = 0.0;
    double battery = 0.0;
    double rpm = 0.0;  // thousands
    double oil = 0.0;
    double temperature = 0.0;
};
GaugeValues gaugeValues(const StatusRecord& r, const StatusImage& image, const Profile& uploaded);

// Over-current bar in percent: whole part of IDMTCount / ((constant - 5) * 100)
// * 100. A time constant of 5 has no scale: the bar shows 0.
int idmtPercent(int IDMTCount, int idmtTimeConstant);

// Hours-run counter value: the number of the Hrun text, in hundredths on the
// network.
double hoursRunValue(const QString& Hrun, bool networkMode);

// Everything one poll puts on the screen.
struct PollView {
    QString top, bottom;
    QString lcdText;  // top CR LF bottom
    BlinkDecision blink;
    GaugeValues gauges;
    int idmtPercent = 0;
    double hours = 0.0;
    int outputs = 0;
    int inputs = 0;
    OverrideView override_;
};

// Steps 6..17 of a poll, after a good status was decoded into `r`. FaultReg of
// `r` is replaced by the display's adjustments, as the screen reads it.
PollView buildPollView(StatusRecord& r, const StatusImage& image, const PollContext& ctx,
                       const Profile& uploaded, int toggle, bool muteEnabled,
                       TimerReadout& timers);

} // namespace gx
