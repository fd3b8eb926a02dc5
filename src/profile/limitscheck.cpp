// Finding the values the editor cannot hold as they arrived, and each slot's value as the program shows it.

#include "profile/limitscheck.h"

#include "profile/singlebyte.h"
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
            out.append({settingLabel(SlotKind::Timer, i), secondsToTime(v), secondsToTime(std::clamp(v, r.low, r.high))});
    }
    for (int i = 0; i < 28; ++i) {
        const Range r = sysValueRange(limits, i);
        const int v = working.SysValue[size_t(i)];
        if (v < r.low || v > r.high) {
            // The unit after the value: "600 A", "2.5 X FLC".
            const QString unit = slotInfo(SlotKind::SysValue, i).unit.trimmed();
            auto text = [i, &unit](int x) {
                const QString n = i == 17 ? tenthsText(x) : QString::number(x);
                return unit.isEmpty() ? n : n + QLatin1Char(' ') + unit;
            };
            out.append({settingLabel(SlotKind::SysValue, i), text(v), text(std::clamp(v, r.low, r.high))});
        }
    }
    for (int i = 0; i < 34; ++i) {
        if (!isEditedSwitchRecord(i))
            continue;
        // Nothing selected is a state the selector holds as it is: nothing to report.
        const int option = switchOption(working, i);
        if (option < -1 || option >= limits.SwitchLimit[size_t(i)].OptionLabel.size())
            out.append({settingLabel(SlotKind::Switch, i), QStringLiteral("option %1").arg(option),
                        QStringLiteral("nothing selected")});
    }
    // Texts: a character the controller cannot hold shows as its plain twin
    // or "?", and a text longer than its box is cut.
    auto text = [&out](SlotKind kind, int i, const QString& value, int length) {
        const QString shown = toSingleByte(value).left(length);
        if (value.size() > length || !isSingleByteText(value))
            out.append({settingLabel(kind, i), markedForeign(value), shown});
    };
    for (int i = 0; i < 6; ++i)
        text(SlotKind::Message, i, working.MessageText[size_t(i)], 16);
    for (int i = 0; i < 4; ++i)
        text(SlotKind::Pin, i, working.PINtext[size_t(i)], 4);
    for (const QString& line : working.Notes.split(QStringLiteral("\r\n"))) {
        if (!isSingleByteText(line, true)) {
            out.append({settingLabel(SlotKind::Notes, 0), markedForeign(line, true), toSingleByte(line, true)});
            break;
        }
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
