// The function texts of the programmable inputs and outputs, and durations written as " H:MM:SS".

#include "profile/tables.h"

namespace gx {

const std::array<QString, 16> InputFunctionText = {
    QStringLiteral("Not Used               "),
    QStringLiteral("Shutdown: Overridden   "),
    QStringLiteral("Shutdown:Not overridden"),
    QStringLiteral("Warning:Overridden     "),
    QStringLiteral("Warning:Not overridden "),
    QStringLiteral("Display:Overridden     "),
    QStringLiteral("Display:Not overridden "),
    QStringLiteral("Load release           "),
    QStringLiteral("Lamp test              "),
    QStringLiteral("Manual restore         "),
    QStringLiteral("Test: Off-load        "),
    QStringLiteral("Klaxon mute           "),
    QStringLiteral("Load reset            "),
    QStringLiteral("Remote mode control   "),
    QStringLiteral("Manual Start          "),
    QStringLiteral("Manual Stop           "),
};

const std::array<QString, 53> OutputFunctionText = {
    QStringLiteral("+++ not used +++"),
    QStringLiteral("Auto mode"),
    QStringLiteral("Manual mode"),
    QStringLiteral("Auto or Man mode"),
    QStringLiteral("Start warning"),
    QStringLiteral("Engine active"),
    QStringLiteral("Engine running"),
    QStringLiteral("Ext.alarm enable"),
    QStringLiteral("Gen available"),
    QStringLiteral("Engine cooling"),
    QStringLiteral("Preheat mode 1"),
    QStringLiteral("Preheat mode 2"),
    QStringLiteral("Preheat mode 3"),
    QStringLiteral("Preheat mode 4"),
    QStringLiteral("Energise to stop"),
    QStringLiteral("Gen contactor"),
    QStringLiteral("Field flashing"),
    QStringLiteral("Louvre control"),
    QStringLiteral("Charger isolate"),
    QStringLiteral("Lamp test"),
    QStringLiteral("Common alarm"),
    QStringLiteral("Klaxon(muteable)"),
    QStringLiteral("Shutdown fault"),
    QStringLiteral("Warning fault"),
    QStringLiteral("Start fail"),
    QStringLiteral("Overspeed/Freq"),
    QStringLiteral("Gen under freq/speed"),
    QStringLiteral("Gen under volts"),
    QStringLiteral("Gen over volts"),
    QStringLiteral("HI current warn"),
    QStringLiteral("Hi current shut"),
    QStringLiteral("Gen out limits"),
    QStringLiteral("No speed signal"),
    QStringLiteral("Mag-pickup fail"),
    QStringLiteral("Emergency stop"),
    QStringLiteral("LOP shutdown"),
    QStringLiteral("LOP warning"),
    QStringLiteral("HET shutdown"),
    QStringLiteral("HET warning"),
    QStringLiteral("Input 3"),
    QStringLiteral("Input 4"),
    QStringLiteral("Input 5"),
    QStringLiteral("Charge fail"),
    QStringLiteral("Batt volts low"),
    QStringLiteral("Batt volts high"),
    QStringLiteral("Batt volts fault"),
    QStringLiteral("PC ctrl A mode 1"),
    QStringLiteral("PC ctrl A mode 2"),
    QStringLiteral("PC ctrl B mode 1"),
    QStringLiteral("PC ctrl B mode 2"),
    QStringLiteral("Remote test"),
    QStringLiteral("Mains contactor open"),
    QString(),
};

QString secondsToTime(int timeValue)
{
    const qint64 t = timeValue;
    const qint64 hours = floorDiv(t, 3600);
    const qint64 minutes = floorDiv(t - hours * 3600, 60);
    const qint64 seconds = t - hours * 3600 - minutes * 60;
    const QString hourText = hours >= 0 ? QLatin1Char(' ') + QString::number(hours)
                                        : QString::number(hours);
    return hourText + QLatin1Char(':') + QStringLiteral("%1").arg(minutes, 2, 10, QLatin1Char('0'))
        + QLatin1Char(':') + QStringLiteral("%1").arg(seconds, 2, 10, QLatin1Char('0'));
}

} // namespace gx
