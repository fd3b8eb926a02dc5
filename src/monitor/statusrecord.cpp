// Decoding a status image into its flags, readings, state and hours-run text.

#include "statusrecord.h"

#include <algorithm>

namespace gx {

namespace {
int bit(const StatusImage& image, int byte, int n)
{
    return (image[byte] >> n) & 1;
}
int word(const StatusImage& image, int at)
{
    return image[at] * 256 + image[at + 1];
}
QString hex2(int value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}
} // namespace

void StatusRecord::setState(int state)
{
    State = state;
    if (state < 0 || state > 5)
        return;
    int* oneHot[] = {&State0, &State1, &State2, &State3, &State4, &State5};
    for (int n = 0; n < 6; ++n)
        *oneHot[n] = n == state ? 1 : 0;
}

void StatusRecord::decode(const StatusImage& image, bool networkMode)
{
    setState(image[1]);
    AUTO = bit(image, 6, 6);
    MAN = bit(image, 6, 7);
    Mains = bit(image, 6, 0);
    OffMode = bit(image, 7, 0);
    RemStart = bit(image, 7, 5);
    FaultReg = image[0];
    StartNum = image[2];
    StrtFlg = bit(image, 8, 4);
    BatVolt = word(image, 61) / 10.0;
    LoadCycl = bit(image, 8, 5);
    MPUfited = bit(image, 6, 2);
    EngSpeed = std::min(word(image, 16), 4500);
    Ovridtim = bit(image, 4, 4);
    RestDly = bit(image, 4, 6);
    EnergStop = bit(image, 9, 4);
    StopOn = bit(image, 9, 5);
    EngStopd = bit(image, 7, 7);
    Contactor = bit(image, 5, 5);
    WarmUp = bit(image, 4, 5);
    StrtDly = bit(image, 4, 0);
    CrnkCool = bit(image, 4, 3);
    LOP = bit(image, 6, 5);
    TestStart = bit(image, 13, 2);
    ChargeFail = bit(image, 10, 1);
    ManRestore = bit(image, 10, 5);
    const auto volts = [&](int at) {
        const int v = word(image, at);
        return v < 20 ? 0 : v;
    };
    GenV1 = volts(45);
    GenV2 = volts(47);
    GenV3 = volts(49);
    OilPress = image[networkMode ? 18 : 42];
    EngTemp = image[networkMode ? 19 : 43];
    LdAccept = bit(image, 12, 2);
    DumpFault = image[44];
    PsiBar = bit(image, 11, 7);
    GenI1 = word(image, 51);
    GenI2 = word(image, 53);
    GenI3 = word(image, 55);
    TestOffLoad = bit(image, 10, 3);
    ChargeStart = bit(image, 13, 0);
    IDMTCount = word(image, 59);
    Hrun = hoursRunText(image, networkMode);
}

QString StatusRecord::hoursRunText(const StatusImage& image, bool networkMode)
{
    const int high = networkMode ? 44 : 41;
    QString text;
    for (int i = high; i > high - 3; --i)
        text += hex2(image[i]);
    return text + QLatin1Char('.') + hex2(image[networkMode ? 17 : 38]);
}

double StatusRecord::leadingNumber(const QString& text)
{
    int end = 0;
    while (end < text.size() && text[end].isDigit())
        ++end;
    if (end < text.size() && text[end] == QLatin1Char('.')) {
        ++end;
        while (end < text.size() && text[end].isDigit())
            ++end;
    }
    bool ok = false;
    const double value = text.left(end).toDouble(&ok);
    return ok ? value : 0.0;
}

} // namespace gx
