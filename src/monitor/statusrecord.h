#pragma once

// The status image the live monitor keeps, and the controller's status decoded field by field.

#include <QString>

#include <array>
#include <cstdint>

namespace gx {

// The status the live monitor keeps: bytes 0..66 are written by the status
// fetch (direct reply or network registers), 67..100 stay 0.
using StatusImage = std::array<uint8_t, 101>;

// The decoded status of one controller. Every field keeps its value until the
// next successful decoding; flags are 0 or 1.
struct StatusRecord {
    int FaultReg = 0;
    int State = 0;
    int State0 = 0, State1 = 0, State2 = 0, State3 = 0, State4 = 0, State5 = 0;
    int StartNum = 0;

    int AUTO = 0, MAN = 0, Mains = 0, MPUfited = 0, LOP = 0;
    int OffMode = 0, RemStart = 0, EngStopd = 0;
    int StrtFlg = 0, LoadCycl = 0;
    int Ovridtim = 0, RestDly = 0, EnergStop = 0, StopOn = 0, Contactor = 0;
    int WarmUp = 0, StrtDly = 0, CrnkCool = 0;
    int TestStart = 0, ChargeFail = 0, ManRestore = 0, LdAccept = 0, PsiBar = 0;
    int TestOffLoad = 0, ChargeStart = 0;

    double BatVolt = 0.0;  // volts; the two bytes are taken as unsigned
    int EngSpeed = 0;      // rpm, at most 4500
    int GenV1 = 0, GenV2 = 0, GenV3 = 0;  // volts; below 20 reads 0
    int GenI1 = 0, GenI2 = 0, GenI3 = 0;  // amperes
    int OilPress = 0;  // psi
    int EngTemp = 0;   // degrees Celsius
    int DumpFault = 0;
    int IDMTCount = 0;
    QString Hrun;  // hours run as text, e.g. "001234.56"

    // Decodes a good status. In network mode oil pressure and temperature come
    // from bytes 18 and 19 and the hours run from bytes 44, 43, 42 and 17;
    // otherwise from bytes 42, 43 and 41..38.
    void decode(const StatusImage& image, bool networkMode);

    // The fields that use State: State above 5 leaves the one-hot copies alone.
    void setState(int state);

    // Hours-run text: three BCD bytes, a point, one BCD byte, each byte written
    // as two upper-case hexadecimal digits.
    static QString hoursRunText(const StatusImage& image, bool networkMode);
    // The number a text starts with ("00122A.56" gives 122, "" gives 0).
    static double leadingNumber(const QString& text);
};

} // namespace gx
