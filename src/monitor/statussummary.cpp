// Summing a poll up, showing a remote node's summary on the monitor, and writing and splitting CSV rows.

#include "monitor/statussummary.h"

#include "monitor/faultcodes.h"

namespace gx {

QString stateName(int state)
{
    switch (state) {
    case 0: return QStringLiteral("Stopped");
    case 1:
    case 2: return QStringLiteral("Starting");
    case 3: return QStringLiteral("Running off load");
    case 4: return QStringLiteral("Running on load");
    case 5: return QStringLiteral("Shut down");
    default: return QStringLiteral("State %1").arg(state);
    }
}

StatusSummary summarize(const StatusRecord& r, const StatusImage& image, const PollView& view, const Profile& uploaded,
                        bool networkMode)
{
    StatusSummary s;
    s.state = r.State;
    s.stateText = stateName(r.State);
    s.mode = r.MAN ? QStringLiteral("MAN") : r.AUTO ? QStringLiteral("AUTO") : QStringLiteral("OFF");
    s.lcdTop = view.top;
    s.lcdBottom = view.bottom;
    s.volts = {r.GenV1, r.GenV2, r.GenV3};
    s.amps = {r.GenI1, r.GenI2, r.GenI3};
    s.frequency = image[15];
    s.oilPressure = r.OilPress;
    s.engineTemperature = r.EngTemp;
    s.battery = r.BatVolt;
    s.engineSpeed = r.EngSpeed;
    s.hoursRun = hoursRunValue(r.Hrun, networkMode);
    s.faultCode = image[0];
    s.faultText = s.faultCode ? faultcode_to_string(s.faultCode, uploaded) : QString();
    return s;
}

PollView pollViewOf(const StatusSummary& s)
{
    PollView v;
    v.top = s.lcdTop;
    v.bottom = s.lcdBottom;
    v.lcdText = s.lcdTop + QStringLiteral("\r\n") + s.lcdBottom;
    v.blink.dark = s.faultCode != 0;
    for (size_t p = 0; p < 3; ++p) {
        v.gauges.volts[p] = s.volts[p];
        v.gauges.amps[p] = s.amps[p];
    }
    v.gauges.hertz = s.frequency;
    v.gauges.battery = s.battery;
    v.gauges.rpm = s.engineSpeed / 1000.0;
    v.gauges.oil = s.oilPressure / PsiPerBar;
    v.gauges.temperature = s.engineTemperature;
    v.hours = s.hoursRun;
    return v;
}

ScreenSetup remoteScreenSetup(const QString& siteName)
{
    ScreenSetup s;
    s.pointerShown = {true, true, true};
    s.voltageTitle = QStringLiteral("Gen Voltage (L-N)");
    for (int k = 0; k < 4; ++k)
        s.outputs[size_t(k)] = {QStringLiteral("Output %1").arg(k + 1), false};
    for (int k = 0; k < 3; ++k)
        s.inputs[size_t(k)] = {QStringLiteral("Input %1").arg(k + 3), false};
    s.input1 = QStringLiteral("Remote start");
    s.site = QStringLiteral("Site: ") + siteName;
    return s;
}

namespace {
QString quoted(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString q = text;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}
} // namespace

QString csvField(const QString& text)
{
    return quoted(text);
}

QString csvHeader()
{
    return QStringLiteral("time,state,state_text,mode,lcd_top,lcd_bottom,volts_1,volts_2,volts_3,amps_1,amps_2,amps_3,"
                          "frequency_hz,oil_pressure_psi,engine_temperature_c,battery_v,engine_speed_rpm,hours_run,"
                          "fault_code,fault");
}

QString csvRow(const QDateTime& when, const StatusSummary& s)
{
    QStringList f;
    f << when.toOffsetFromUtc(when.offsetFromUtc()).toString(Qt::ISODate) << QString::number(s.state)
      << quoted(s.stateText) << s.mode << quoted(s.lcdTop.trimmed()) << quoted(s.lcdBottom.trimmed());
    for (int v : s.volts)
        f << QString::number(v);
    for (int a : s.amps)
        f << QString::number(a);
    f << QString::number(s.frequency) << QString::number(s.oilPressure) << QString::number(s.engineTemperature)
      << QString::number(s.battery, 'f', 1) << QString::number(s.engineSpeed) << QString::number(s.hoursRun, 'f', 2)
      << QString::number(s.faultCode) << quoted(s.faultText);
    return f.join(QLatin1Char(','));
}

QStringList csvFields(const QString& row)
{
    QStringList out;
    QString field;
    bool inQuotes = false;
    for (qsizetype i = 0; i < row.size(); ++i) {
        const QChar c = row[i];
        if (inQuotes) {
            if (c == QLatin1Char('"') && i + 1 < row.size() && row[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                inQuotes = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            inQuotes = true;
        } else if (c == QLatin1Char(',')) {
            out << field;
            field.clear();
        } else {
            field += c;
        }
    }
    out << field;
    return out;
}

} // namespace gx
