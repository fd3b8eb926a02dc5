#include "profile/profileimage.h"

namespace gx {

namespace {

int byteAt(const QByteArray& image, int i)
{
    return i < image.size() ? quint8(image[i]) : 0;
}

int wordAt(const QByteArray& image, int i)
{
    return byteAt(image, i) * 256 + byteAt(image, i + 1);
}

} // namespace

QString pinFromPackedDecimal(quint8 first, quint8 second)
{
    const int value = (first >> 4) * 1000 + (first & 0x0F) * 100 + (second >> 4) * 10 + (second & 0x0F);
    return QString::number(value).rightJustified(4, QLatin1Char('0'));
}

Profile decodeProfileImage(const QByteArray& image)
{
    Profile p;
    for (int i = 0; i < 16; ++i)
        p.TimerValue[i] = wordAt(image, 2 * i);
    for (int i = 0; i < 32; ++i)
        p.SysValue[i] = wordAt(image, 32 + 2 * i);
    for (int i = 0; i < 32; ++i)
        p.SwSwitch[i] = byteAt(image, 96 + i);
    for (int i = 0; i < 8; ++i) {
        QString text;
        for (int k = 0; k < 16; ++k)
            text += QChar::fromLatin1(char(byteAt(image, 128 + 16 * i + k)));
        p.MessageText[i] = text;
    }
    for (int i = 0; i < 8; ++i)
        p.AlogSensor[i] = byteAt(image, 256 + i);
    for (int i = 0; i < 8; ++i)
        p.PINtext[i] = pinFromPackedDecimal(quint8(byteAt(image, 264 + 2 * i)), quint8(byteAt(image, 265 + 2 * i)));
    return p;
}

} // namespace gx
