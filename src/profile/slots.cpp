// The page, label and unit of every edited slot, and the names reports give them.

#include "profile/slots.h"

namespace gx {

namespace {

const QString Timers = QStringLiteral("Timers");
const QString Ats = QStringLiteral("Timers: ATS timers");
const QString Setup1 = QStringLiteral("Generator setup (1)");
const QString Setup2 = QStringLiteral("Generator setup (2)");
const QString Dc = QStringLiteral("DC variables");
const QString Inputs = QStringLiteral("Inputs");
const QString Oil = QStringLiteral("Inputs: Input 1 Oil-pressure");
const QString Temperature = QStringLiteral("Inputs: Input 2 Engine temperature");
const QString Outputs = QStringLiteral("Outputs");
const QString General = QStringLiteral("General");

SlotInfo timerInfo(int slot)
{
    static const char* const labels[10] = {"Start Delay:",        "Preheat delay:",      "Crank time:",
                                           "Crank Rest time:",    "Override time:",      "Warmup delay:",
                                           "Restoration period:", "Engine cool period:", "Speed Signal delay:",
                                           "Energise to Stop:"};
    if (slot >= 0 && slot < 10)
        return {Timers, QString::fromLatin1(labels[slot]), QString()};
    if (slot == 13)
        return {Ats, QStringLiteral("Contactor delay:"), QString()};
    return {};
}

SlotInfo sysValueInfo(int slot)
{
    struct Row {
        const QString* where;
        const char* label;
        const char* unit;
    };
    static const Row rows[28] = {
        {&Setup1, "Flywheel teeth:", ""},
        {&Setup1, "Crank disconnect:", "rpm"},
        {&Setup1, "Over Speed:", "rpm"},
        {&Setup1, "Under Speed:", "rpm"},
        {&Setup1, "Crank disconnect:", "Hz"},
        {&Setup1, "Over Frequency:", "Hz"},
        {&Setup1, "Under Frequency:", "Hz"},
        {&Dc, "Battery over voltage:", "V"},
        {&Dc, "Battery under voltage:", "V"},
        {&Timers, "Start Attempts:", ""},
        {&Setup2, "Generator under Voltage:", "V"},
        {&Setup2, "Generator voltage OK:", "V"},
        {&Setup2, "CT ratio:", ": 5A"},
        {&Setup2, "Full-load current:", "A"},
        {&Ats, "Mains fail delay:", "Secs"},
        {&Dc, "Charge-start voltage:", "V"},
        {&Setup2, "IDMT time constant:", ""},
        {&Setup2, "Instant trip:", " X FLC"},
        {&Oil, "Warning level:", ""},
        {&Oil, "Shutdown level:", ""},
        {&Temperature, "Warning level:", ""},
        {&Temperature, "Shutdown level:", ""},
        {&Dc, "Charge-start period:", "Mins"},
        {&General, "RS485 address:", ""},
        {&Setup2, "Generator over voltage:", "V"},
        {&Setup1, "Over Speed/Freq Override:", "%"},
        {&Setup2, "Generator phases:", ""},
        {&Timers, "Remote-Test time:", "mins"},
    };
    if (slot < 0 || slot >= 28)
        return {};
    return {*rows[slot].where, QString::fromLatin1(rows[slot].label), QString::fromLatin1(rows[slot].unit)};
}

SlotInfo switchInfo(int index)
{
    struct Row {
        const QString* where;
        const char* label;
    };
    static const Row rows[15] = {
        {&General, "Load in MANual:"},        {&Setup2, "Gen under-volts action:"}, {&Dc, "Charge-fail source:"},
        {&Oil, "Units:"},                     {&Temperature, "Units:"},             {&Inputs, "Remote-Start polarity:"},
        {&Dc, "WL crank cut:"},               {&Timers, "Hours-Run:"},              {&Setup1, "Magnetic Pickup:"},
        {&Setup1, "AC Frequency sense:"},     {&Setup2, "Over current action:"},    {&Setup1, "Under speed/Freq action:"},
        {&General, "Switch-off delay:"},      {&Setup2, "Voltage measurement:"},    {&Setup1, "Over HZ:"},
    };
    if (index >= 0 && index < 15)
        return {*rows[index].where, QString::fromLatin1(rows[index].label), QString()};
    if (index >= 16 && index <= 18)
        return {Inputs, QStringLiteral("Programmable input %1:").arg(index - 13), QString()};
    if (index == 19)
        return {General, QStringLiteral("Phone-out condition:"), QString()};
    if (index >= 20 && index <= 22)
        return {Inputs + QStringLiteral(": Input %1").arg(index - 17), QStringLiteral("Polarity:"), QString()};
    if (index >= 24 && index <= 27)
        return {Outputs, QStringLiteral("Programmable output %1:").arg(index - 23), QString()};
    if (index == 32)
        return {Oil, QStringLiteral("Sender type:"), QString()};
    if (index == 33)
        return {Temperature, QStringLiteral("Sender type:"), QString()};
    return {};
}

SlotInfo messageInfo(int slot)
{
    if (slot >= 0 && slot <= 2)
        return {Inputs, QStringLiteral("Input %1 message:").arg(slot + 3), QString()};
    static const char* const general[3] = {"Site name:", "Phone-out number:", "Power-up message:"};
    if (slot >= 3 && slot <= 5)
        return {General, QString::fromLatin1(general[slot - 3]), QString()};
    return {};
}

SlotInfo pinInfo(int slot)
{
    static const char* const labels[4] = {"Switch-on PIN:", "Program mode PIN:", "Remote log-on PIN:",
                                          "Mode-change PIN:"};
    if (slot >= 0 && slot < 4)
        return {General, QString::fromLatin1(labels[slot]), QString()};
    return {};
}

} // namespace

SlotInfo slotInfo(SlotKind kind, int index)
{
    switch (kind) {
    case SlotKind::Timer: return timerInfo(index);
    case SlotKind::SysValue: return sysValueInfo(index);
    case SlotKind::Switch: return switchInfo(index);
    case SlotKind::Message: return messageInfo(index);
    case SlotKind::Pin: return pinInfo(index);
    case SlotKind::Notes: return {QStringLiteral("Profile"), QStringLiteral("Profile Notes:"), QString()};
    }
    return {};
}

QString settingLabel(SlotKind kind, int index)
{
    const SlotInfo info = slotInfo(kind, index);
    return info.where + QStringLiteral(": ") + info.label;
}

QString settingName(SlotKind kind, int index)
{
    const SlotInfo info = slotInfo(kind, index);
    QString name = settingLabel(kind, index);
    if (!info.unit.trimmed().isEmpty())
        name += QStringLiteral(" (") + info.unit.trimmed() + QLatin1Char(')');
    return name;
}

} // namespace gx
