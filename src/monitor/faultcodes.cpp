// The fault-code tables, and fault texts for the log and the LCD, with the programmable inputs' messages.

#include "faultcodes.h"

#include "profile/profile.h"

namespace gx {

namespace {
// The decimal text of a non-negative number with the blank that stands in for
// its sign: 42 gives " 42".
QString signedText(int value)
{
    return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value);
}

QString inputMessage(int code, const Profile& uploaded)
{
    return uploaded.MessageText[code - 240];
}
} // namespace

const std::array<QString, 256>& FaultCodeText()
{
    static const std::array<QString, 256> table = [] {
        std::array<QString, 256> t;
        t[7] = QStringLiteral("NO SPEED SIGNAL");
        t[8] = QStringLiteral("ENG NOT STOP(Hz)");
        t[9] = QStringLiteral("BAD OIL PRESSURE");
        t[12] = QStringLiteral("GEN OVER VOLTS");
        t[13] = QStringLiteral("UNDER SPEED/FREQ");
        t[14] = QStringLiteral("FAILED TO START");
        t[15] = QStringLiteral("OVER SPEED/FREQ");
        t[16] = QStringLiteral("EMERGENCY STOP");
        t[17] = QStringLiteral("LOW OIL PRESSURE");
        t[18] = QStringLiteral("HIGH ENGINE TEMP");
        t[23] = QStringLiteral("CHARGE FAIL");
        t[28] = QStringLiteral("GEN UNDER VOLTS");
        t[55] = QStringLiteral("ENG NOT STOP (V)");
        t[56] = QStringLiteral("GEN OVER CURRENT");
        t[68] = QStringLiteral("IDMT TIMEOUT");
        t[87] = QStringLiteral("OIL SENDER FAULT");
        t[88] = QStringLiteral("ENG NOT STOP(WL)");
        t[89] = QStringLiteral("MPU SIGNAL FAIL");
        t[184] = QStringLiteral("HET warning");
        t[189] = QStringLiteral("LOP warning");
        t[198] = QStringLiteral("Battery High");
        t[199] = QStringLiteral("Battery Low");
        t[240] = QStringLiteral("Input 3");
        t[241] = QStringLiteral("Input 4");
        t[242] = QStringLiteral("Input 5");
        return t;
    }();
    return table;
}

QString faultcode_to_string(int FaultCode, const Profile& uploaded)
{
    switch (FaultCode) {
    case 7: return QStringLiteral("No speed signal");
    case 8: return QStringLiteral("Engine not stopped (Hz)");
    case 9: return QStringLiteral("Bad oil pressure");
    case 12: return QStringLiteral("Generator over voltage");
    case 13: return QStringLiteral("Under speed / frequency");
    case 14: return QStringLiteral("Failed to start");
    case 15: return QStringLiteral("Over speed / frequency");
    case 16: return QStringLiteral("Emergency stop");
    case 17: return QStringLiteral("Low oil pressure shutdown");
    case 18: return QStringLiteral("High temperature shutdown");
    case 23: return QStringLiteral("Charge failure");
    case 28: return QStringLiteral("Generator under volts");
    case 35: return QStringLiteral("High current warning");
    case 55: return QStringLiteral("Engine not stopped (ac V)");
    case 56: return QStringLiteral("Generator over current shutdown");
    case 63: return QStringLiteral("High current warning");
    case 68: return QStringLiteral("IDMT timeout");
    case 87: return QStringLiteral("Oil sender fault");
    case 88: return QStringLiteral("Engine not stopped (WL)");
    case 89: return QStringLiteral("Mag-pickup signal fail");
    case 184: return QStringLiteral("High temperature warning");
    case 185: return QStringLiteral("High temperature shutdown");
    case 189: return QStringLiteral("Low oil pressure warning");
    case 190: return QStringLiteral("Low oil pressure shutdown");
    case 198: return QStringLiteral("High battery V warning");
    case 199: return QStringLiteral("Low battery V warning");
    case 240: return QStringLiteral("INPUT 3: ") + inputMessage(FaultCode, uploaded);
    case 241: return QStringLiteral("INPUT 4: ") + inputMessage(FaultCode, uploaded);
    case 242: return QStringLiteral("INPUT 5: ") + inputMessage(FaultCode, uploaded);
    default: return QStringLiteral("Unknown fault (") + signedText(FaultCode) + QStringLiteral(" )");
    }
}

QString lcdFaultText(int FaultCode, const Profile& uploaded)
{
    switch (FaultCode) {
    case 7: return QStringLiteral("NO SPEED SIGNAL");
    case 8: return QStringLiteral("ENG NOT STOP(Hz)");
    case 9: return QStringLiteral("BAD OIL PRESSURE");
    case 12: return QStringLiteral("GEN OVER VOLTAGE");
    case 13: return QStringLiteral("UNDER SPEED/FREQ");
    case 14: return QStringLiteral("FAILED TO START");
    case 15: return QStringLiteral("OVER-SPEED");
    case 16: return QStringLiteral("EMERGENCY STOP");
    case 17: return QStringLiteral("LOW OIL PRESSURE");
    case 18: return QStringLiteral("HIGH ENGINE TEMP");
    case 23: return QStringLiteral("CHARGE FAILURE");
    case 28: return QStringLiteral("GEN UNDER VOLTS");
    case 56: return QStringLiteral("GEN OVER CURRENT");
    case 68: return QStringLiteral("IDMT timeout");
    case 87: return QStringLiteral("OIL SENSOR FAULT");
    case 88: return QStringLiteral("ENG NOT STOP (WL)");
    case 89: return QStringLiteral("MPU signal fail");
    case 184: return QStringLiteral("ENG TEMP WARNING");
    case 185: return QStringLiteral("HIGH ENGINE TEMP");
    case 188: return QStringLiteral("HIGH CURRENT WARN");
    case 189: return QStringLiteral("OIL PRESSURE WARN");
    case 190: return QStringLiteral("LOW OIL PRESSURE");
    case 198: return QStringLiteral("HI BATTERY VOLTAGE");
    case 199: return QStringLiteral("LO BATTERY VOLTAGE");
    case 240:
    case 241:
    case 242: return inputMessage(FaultCode, uploaded);
    default: return signedText(FaultCode);
    }
}

} // namespace gx
