#include "profile/limitscheck.h"

#include "profile/tables.h"
#include "profile/valuetext.h"

#include <algorithm>

namespace gx {

Range timerRange(const ProgramLimits& limits, int slot)
{
    const TimerLimitRecord& t = limits.TimerLimit[size_t(slot)];
    return {int(floorDiv(t.TimerLowLimit, 10)), int(floorDiv(t.TimerHighLimit, 10))};
}

Range sysValueRange(const ProgramLimits& limits, int slot)
{
    const SysValLimitRecord& s = limits.SysValLimit[size_t(slot)];
    return {s.SysValLowLimit, s.SysvalHighLimit};
}

int switchOption(const Profile& p, int index)
{
    if (index == 32 || index == 33)
        return p.AlogSensor[size_t(index - 32)];
    return index >= 0 && index < 32 ? p.SwSwitch[size_t(index)] : -1;
}

QList<ValueAdjustment> checkAgainstLimits(const Profile& working, const ProgramLimits& limits)
{
    QList<ValueAdjustment> out;
    for (int i = 0; i < 16; ++i) {
        if (!isEditedTimer(i))
            continue;
        const Range r = timerRange(limits, i);
        const int v = working.TimerValue[size_t(i)];
        if (v < r.low || v > r.high)
            out.append({settingName(SlotKind::Timer, i), secondsToTime(v), secondsToTime(std::clamp(v, r.low, r.high))});
    }
    for (int i = 0; i < 28; ++i) {
        const Range r = sysValueRange(limits, i);
        const int v = working.SysValue[size_t(i)];
        if (v < r.low || v > r.high) {
            auto text = [i](int x) { return i == 17 ? tenthsText(x) : QString::number(x); };
            out.append({settingName(SlotKind::SysValue, i), text(v), text(std::clamp(v, r.low, r.high))});
        }
    }
    for (int i = 0; i < 34; ++i) {
        if (!isEditedSwitchRecord(i))
            continue;
        const int option = switchOption(working, i);
        const qsizetype count = limits.SwitchLimit[size_t(i)].OptionLabel.size();
        if (option < 0 || option >= count)
            out.append({settingName(SlotKind::Switch, i), option < 0 ? QStringLiteral("nothing selected")
                                                                     : QStringLiteral("option %1").arg(option),
                        QStringLiteral("nothing selected")});
    }
    for (int i = 0; i < 6; ++i) {
        const QString& text = working.MessageText[size_t(i)];
        if (text.size() > 16)
            out.append({settingName(SlotKind::Message, i), text, text.left(16)});
    }
    for (int i = 0; i < 4; ++i) {
        const QString& text = working.PINtext[size_t(i)];
        if (text.size() > 4)
            out.append({settingName(SlotKind::Pin, i), text, text.left(4)});
    }
    return out;
}

QString displayValue(SlotKind kind, int index, const Profile& p, const ProgramLimits& limits)
{
    switch (kind) {
    case SlotKind::Timer:
        return secondsToTime(p.TimerValue[size_t(index)]);
    case SlotKind::SysValue: {
        QString unit = slotInfo(kind, index).unit.trimmed();
        if (index == 18 || index == 19)
            unit = p.SwSwitch[3] == 0 ? QStringLiteral("bar") : QStringLiteral("psi");
        if (index == 20 || index == 21)
            unit = p.SwSwitch[4] == 0 ? QStringLiteral("°F") : QStringLiteral("°C");
        if (index == 17)
            unit = QStringLiteral("x FLC");
        const QString text = sysValueText(index, p.SysValue[size_t(index)], p.SwSwitch[3], p.SwSwitch[4]);
        if (unit.startsWith(QLatin1Char(':')))
            return text + QLatin1Char(' ') + unit;
        return unit.isEmpty() ? text : text + QLatin1Char(' ') + unit;
    }
    case SlotKind::Switch: {
        const int option = switchOption(p, index);
        const QStringList& labels = limits.SwitchLimit[size_t(index)].OptionLabel;
        if (option < 0)
            return QStringLiteral("(nothing selected)");
        if (option >= labels.size())
            return QStringLiteral("option %1 (not in limits.txt)").arg(option);
        return labels[option].trimmed();
    }
    case SlotKind::Message:
        return QLatin1Char('"') + p.MessageText[size_t(index)] + QLatin1Char('"');
    case SlotKind::Pin:
        return p.PINtext[size_t(index)];
    case SlotKind::Notes:
        return p.Notes;
    }
    return {};
}

} // namespace gx
