// The live monitor worked out without widgets: screen set-up from the profile, then LCD lines, gauges, LEDs a poll.

#include "lcd.h"

#include "link/timerreadout.h"
#include "monitor/faultcodes.h"
#include "profile/profile.h"

#include <cmath>

namespace gx {

namespace {

// Decimal text as the controller's firmware tools write it: one blank for the
// sign of a non-negative number.
QString signedText(int value)
{
    return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value);
}

QString lastChar(const QString& s)
{
    return s.right(1);
}

int firstDigit(int value)
{
    while (value >= 10)
        value /= 10;
    return value;
}

std::optional<Band> band(double from, double to)
{
    return Band{from, to};
}

double fahrenheit(double celsius)
{
    return celsius * 9.0 / 5.0 + 32.0;
}

} // namespace

// ---------------------------------------------------------------- set-up

double CurrentScale::minorTick() const
{
    return firstDigit(FScale) == 2 ? FScale / 4.0 : FScale / 5.0;
}

CurrentScale currentScaleFor(double fullScale)
{
    CurrentScale s;
    while (s.maximum() < fullScale) {
        if (++s.ScaleTicks > 5) {
            s.ScaleTicks = 3;
            // 1 -> 2 -> 5 -> 10 -> 20 -> 50 ...
            s.FScale = firstDigit(s.FScale) == 2 ? s.FScale * 5 / 2 : s.FScale * 2;
        }
    }
    return s;
}

ScreenSetup UpdateScreenVariables(const Profile& p, const std::array<QString, 16>& inputFunctionText,
                                  const std::array<QString, 53>& outputFunctionText)
{
    const auto& sv = p.SysValue;
    const auto& sw = p.SwSwitch;
    ScreenSetup s;

    // 1. Pointers of absent phases stand back.
    s.phases = sv[26];
    s.pointerShown = {true, sv[26] != 1, sv[26] != 1 && sv[26] != 2};

    // 2. Voltage: line-to-line or line-to-neutral.
    const double overV = sv[24];
    const double underV = sv[10];
    double vMax;
    if (sw[13] == 1) {
        s.voltageTitle = QStringLiteral("Gen Voltage (L-L)");
        vMax = 520;
        s.voltage.bands[1] = band(overV, 520);
        s.voltage.major = 100;
        s.voltage.minor = 20;
    } else {
        s.voltageTitle = QStringLiteral("Gen Voltage (L-N)");
        vMax = 300;
        s.voltage.bands[1] = band(overV > 300 ? 300 : overV, 300);
        s.voltage.major = 50;
        s.voltage.minor = 10;
    }
    s.voltage.maximum = vMax;
    s.voltage.bands[3] = band(0, underV);
    s.voltage.bands[2] = band(underV, overV < vMax ? overV : vMax);

    // 3. Frequency.
    s.frequency.bands[3] = band(0, sv[6]);
    s.frequency.bands[2] = band(sv[6], sv[5]);
    s.frequency.bands[1] = band(sv[5], 75);

    // 4. Current: a round scale just above the instant-trip current.
    const double fullLoad = sv[13];
    s.FullScale = fullLoad * sv[17] / 10.0;
    const CurrentScale cs = currentScaleFor(s.FullScale);
    s.FScale = cs.FScale;
    s.ScaleTicks = cs.ScaleTicks;
    s.current.maximum = cs.maximum();
    s.current.major = cs.FScale;
    s.current.minor = cs.minorTick();
    s.current.bands[2] = band(0, fullLoad);
    s.current.bands[3] = band(fullLoad, s.FullScale);
    s.current.bands[1] = band(s.FullScale, cs.maximum());

    // 5. Oil pressure, in bar or psi.
    s.oil.visible = p.AlogSensor[0] >= 2;
    if (sw[3] == 0) {
        s.oil.caption = QStringLiteral("BAR");
        s.oil.scale.maximum = 5;
        s.oil.scale.major = 1;
        s.oil.scale.minor = 0.25;
        s.oil.scale.bands[0] = band(0, sv[19] / PsiPerBar);
        s.oil.scale.bands[1] = band(sv[19] / PsiPerBar, sv[18] / PsiPerBar);
    } else {
        s.oil.caption = QStringLiteral("Psi");
        s.oil.scale.maximum = 100;
        s.oil.scale.major = 20;
        s.oil.scale.minor = 5;
        s.oil.scale.bands[0] = band(0, sv[19]);
        s.oil.scale.bands[1] = band(sv[19], sv[18]);
    }

    // 6. Engine temperature, in degrees F or C.
    s.temperature.visible = p.AlogSensor[1] >= 2;
    if (sw[4] == 0) {
        s.temperature.caption = QStringLiteral("°F");
        s.temperature.scale.maximum = 284;
        s.temperature.scale.major = 40;
        s.temperature.scale.minor = 10;
        s.temperature.scale.bands[0] = band(fahrenheit(sv[21]), 284);
        s.temperature.scale.bands[1] = band(fahrenheit(sv[20]), fahrenheit(sv[21]));
    } else {
        s.temperature.caption = QStringLiteral("°C");
        s.temperature.scale.maximum = 140;
        s.temperature.scale.major = 20;
        s.temperature.scale.minor = 5;
        s.temperature.scale.bands[0] = band(sv[21], 140);
        s.temperature.scale.bands[1] = band(sv[20], sv[21]);
    }

    // 7. Battery.
    s.battery.bands[0] = band(0, sv[8]);
    s.battery.bands[1] = band(sv[7], 40);

    // 8. Engine speed, thousands of rpm; not shown with a magnetic pick-up.
    s.rpm.visible = sw[8] != 1;
    s.rpm.scale.bands[0] = band(sv[1] / 1000.0, sv[3] / 1000.0);
    s.rpm.scale.bands[1] = band(sv[2] / 1000.0, 4);

    // 9. Inputs 3..5. An unselected option (-1) reads as not used.
    for (int k = 0; k < 3; ++k) {
        const int option = sw[16 + k];
        LabelSetup& l = s.inputs[k];
        if (option <= 0) {
            l.text = QStringLiteral("Input %1: Not used").arg(k + 3);
            l.enabled = false;
        } else if (option <= 6) {
            l.text = p.MessageText[k];
        } else {
            l.text = option < int(inputFunctionText.size()) ? inputFunctionText[option] : QString();
        }
    }

    // 10. Outputs 1..4.
    for (int k = 0; k < 4; ++k) {
        const int option = sw[24 + k];
        LabelSetup& l = s.outputs[k];
        if (option <= 0) {
            l.text = QStringLiteral("Output %1: Not used").arg(k + 1);
            l.enabled = false;
        } else {
            l.text = option < int(outputFunctionText.size()) ? outputFunctionText[option] : QString();
        }
    }

    // 11., 12.
    s.site = QStringLiteral("Site: ") + p.MessageText[3];
    s.ATSsupport = 0;
    for (int k = 24; k <= 27; ++k)
        if (sw[k] == 51)  // "Mains contactor open"
            s.ATSsupport = 1;
    s.input1 = s.ATSsupport ? QStringLiteral("Mains Fail") : QStringLiteral("Remote start");
    return s;
}

// ---------------------------------------------------------------- one poll

QString upperLine(const StatusRecord& r, int startAttempts, double firmVersion)
{
    const QString attempts = lastChar(signedText(startAttempts));
    if (r.State0 && r.AUTO && r.StrtFlg == 0)
        return QStringLiteral("AUTO Standby");
    if (r.State0 && r.MAN)
        return QStringLiteral("MAN Engine stop");
    if (r.State0 && r.StrtFlg)
        return QStringLiteral("Start No ") + lastChar(signedText(r.StartNum - 1)) + QStringLiteral(" of ") + attempts;
    if (r.State1 || r.State2)
        return QStringLiteral("Start No ") + lastChar(signedText(r.StartNum)) + QStringLiteral(" of ") + attempts;
    if (r.State3 && r.AUTO && r.ChargeStart == 0)
        return QStringLiteral("AUTO Engine run ");
    if (r.State3 && r.AUTO && r.ChargeStart && firmVersion > 1.01)
        return QStringLiteral("AUTO chrge start");
    if (r.State3 && r.MAN)
        return QStringLiteral("MAN Engine run ");
    if (r.State4 && r.AUTO)
        return QStringLiteral("AUTO Gen on-load");
    if (r.State4 && r.MAN)
        return QStringLiteral("MAN Gen on-load ");
    if (r.State5)
        return QStringLiteral("ENGINE SHUTDOWN ");
    return {};
}

QString lowerLine(const StatusRecord& r, const StatusImage& image, const PollContext& ctx,
                  TimerReadout& timers)
{
    const auto time = [&](int timer) { return timers.getTime(image.data(), ctx.networkMode, timer); };
    const bool ats = ctx.ATSsupport != 0;
    const bool newFirmware = ctx.firmVersion > 1.01;

    QString line;
    if (r.State0 && r.EnergStop && r.StopOn && r.EngStopd == 0)
        line = QStringLiteral("Stopping engine");
    if (r.State0 && r.StopOn && r.EngStopd)
        return QStringLiteral("Stop active ") + time(8).S + QStringLiteral(" S");

    if (r.AUTO && (r.RemStart || r.TestStart || (ats && r.Mains == 0)) && r.StrtFlg == 0 && r.State0
        && r.StrtDly == 0) {
        const auto t = time(0);
        return QStringLiteral("Start delay ") + lastChar(t.M) + QLatin1Char(':') + t.S;
    }
    if (r.StrtFlg && r.State0)
        return QStringLiteral("Crnk rest ") + time(3).S + QStringLiteral(" sec");
    if (r.State1)
        return QStringLiteral("Preheat ") + time(1).S + QStringLiteral(" sec");
    if (r.State2)
        return QStringLiteral("Cranking ") + time(2).S + QStringLiteral(" sec");
    const auto hms = [&](const TimerReadout::Time& t) {
        return lastChar(t.H) + QLatin1Char(':') + t.M + QLatin1Char(':') + t.S;
    };
    if (ats && r.Contactor == 0 && newFirmware)
        return QStringLiteral("Contactor ") + hms(time(13));
    if (r.State3 && r.AUTO && r.LoadCycl == 0 && r.WarmUp == 0)
        return QStringLiteral("Warmup ") + time(5).S + QStringLiteral(" sec");
    if (r.State4 && r.AUTO && r.ManRestore == 0
        && ((!ats && r.RemStart == 0) || (ats && r.Mains)))
        return QStringLiteral("Restore ") + hms(time(6));
    if (r.State3 && r.AUTO && r.RestDly && r.TestStart == 0 && r.RemStart == 0 && r.TestOffLoad == 0
        && r.ChargeStart == 0)
        return QStringLiteral("Cooling ") + hms(time(7));
    return line;
}

void applyFaultAdjustments(StatusRecord& r, const StatusImage& image)
{
    if (((r.AUTO && r.StrtDly) || r.StrtFlg) && r.EngStopd == 0 && r.State0 && r.FaultReg == 0)
        r.FaultReg = 8;
    if ((image[3] & 0x20) == 0 && r.LOP == 0 && r.State2 == 1 && r.FaultReg == 0)
        r.FaultReg = 9;
    if (r.State3 == 1 && r.LdAccept == 0)
        r.FaultReg = r.DumpFault;
}

QString batteryLine(double batVolt)
{
    QString text = QLatin1Char(' ') + QString::number(batVolt);
    if (!text.contains(QLatin1Char('.')))
        text += QStringLiteral(".0");
    return QStringLiteral("Battery ") + text + QStringLiteral(" V");
}

QString generatorLine(const StatusRecord& r, int phases, int voltageSwitch, int frequency)
{
    int volts;
    int amps;
    if (phases == 1) {
        volts = r.GenV1;
        amps = r.GenI1;
    } else if (phases == 2) {
        volts = voltageSwitch != 0 ? r.GenV1 : (r.GenV1 + r.GenV2) / 2;
        amps = (r.GenI1 + r.GenI2) / 2;
    } else {
        volts = (r.GenV1 + r.GenV2 + r.GenV3) / 3;
        amps = (r.GenI1 + r.GenI2 + r.GenI3) / 3;
    }
    const QString AverageVolts = volts == 0 ? QStringLiteral("---") : QString::number(volts).rightJustified(3);
    const QString AverageCurrent = amps == 0 ? QStringLiteral("----") : QString::number(amps).rightJustified(4);
    return AverageVolts + QStringLiteral("V ") + AverageCurrent + QStringLiteral("A ") + signedText(frequency)
           + QStringLiteral("HZ");
}

BlinkDecision blinkDecision(int faultReg, int state5, int toggle, bool muteEnabled)
{
    BlinkDecision d;
    d.dark = (faultReg != 0 || state5 == 1) && toggle == 1;
    d.beep = d.dark && muteEnabled;
    d.enableMute = faultReg == 0;
    return d;
}

int inputLedByte(const StatusRecord& r, const StatusImage& image, int ATSsupport)
{
    int byte = 0;
    if ((ATSsupport == 0 && r.RemStart != 0) || (ATSsupport == 1 && r.Mains == 0))
        byte |= 1;
    if (image[10] & 0x02)
        byte |= 2;
    if (image[14] & 0x10)
        byte |= 4;
    if (image[14] & 0x20)
        byte |= 8;
    if (image[14] & 0x40)
        byte |= 16;
    return byte;
}

OverrideView overrideView(const StatusRecord& r, const StatusImage& image, bool networkMode,
                          TimerReadout& timers)
{
    if (r.Ovridtim == 1)
        return {};
    if (r.State3 || r.State4)
        return {true, QStringLiteral("Override: ") + timers.getTime(image.data(), networkMode, 4).S
                          + QStringLiteral(" Sec")};
    return {true, QStringLiteral("Overriden")};
}

GaugeValues gaugeValues(const StatusRecord& r, const StatusImage& image, const Profile& p)
{
    GaugeValues g;
    const int phases = p.SysValue[26];
    g.volts = {double(r.GenV1), double(r.GenV2), double(r.GenV3)};
    g.amps = {double(r.GenI1), double(r.GenI2), double(r.GenI3)};
    if (phases == 1) {
        g.volts[1] = g.volts[2] = g.amps[1] = g.amps[2] = 0;
    } else if (phases == 2) {
        g.volts[2] = g.amps[2] = 0;
    }
    g.hertz = image[15];
    g.battery = (image[61] * 256 + image[62]) / 10.0;
    g.rpm = r.EngSpeed / 1000.0;
    if (p.AlogSensor[0] >= 2)
        g.oil = p.SwSwitch[3] == 0 ? r.OilPress / PsiPerBar : r.OilPress;
    if (p.AlogSensor[1] >= 2)
        g.temperature = p.SwSwitch[4] == 0 ? fahrenheit(r.EngTemp) : r.EngTemp;
    return g;
}

int idmtPercent(int IDMTCount, int idmtTimeConstant)
{
    const int divisor = idmtTimeConstant - 5;
    if (divisor == 0)
        return 0;
    // count / (divisor * 100) * 100, whole part taken downwards as the
    // controller's tools do; worked in integers so no rounding creeps in.
    const long num = IDMTCount;
    const long den = divisor;
    long q = num / den;
    if ((num % den != 0) && ((num < 0) != (den < 0)))
        --q;
    return int(q);
}

double hoursRunValue(const QString& Hrun, bool networkMode)
{
    const double value = StatusRecord::leadingNumber(Hrun);
    return networkMode ? value / 100.0 : value;
}

PollView buildPollView(StatusRecord& r, const StatusImage& image, const PollContext& ctx,
                       const Profile& uploaded, int toggle, bool muteEnabled, TimerReadout& timers)
{
    PollView v;
    v.top = upperLine(r, uploaded.SysValue[9], ctx.firmVersion);
    v.bottom = lowerLine(r, image, ctx, timers);
    applyFaultAdjustments(r, image);
    if (r.FaultReg != 0)
        v.bottom = lcdFaultText(r.FaultReg, uploaded);
    v.blink = blinkDecision(r.FaultReg, r.State5, toggle, muteEnabled);
    if (v.bottom.isEmpty()) {
        if (r.State == 0)
            v.bottom = batteryLine(r.BatVolt);
        else if (r.State == 3 || r.State == 4)
            v.bottom = generatorLine(r, uploaded.SysValue[26], uploaded.SwSwitch[13], image[15]);
    }
    v.lcdText = v.top + QStringLiteral("\r\n") + v.bottom;
    v.gauges = gaugeValues(r, image, uploaded);
    r.IDMTCount = image[59] * 256 + image[60];
    v.idmtPercent = idmtPercent(r.IDMTCount, uploaded.SysValue[16]);
    r.Hrun = StatusRecord::hoursRunText(image, ctx.networkMode);
    v.hours = hoursRunValue(r.Hrun, ctx.networkMode);
    v.outputs = image[3];
    v.inputs = inputLedByte(r, image, ctx.ATSsupport);
    v.override_ = overrideView(r, image, ctx.networkMode, timers);
    return v;
}

} // namespace gx
