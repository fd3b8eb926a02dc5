// Decoding the profile image and notes of an upload, and encoding a working profile for a download.

#include "profile/profileimage.h"

#include "profile/limits.h"
#include "profile/slots.h"
#include "profile/tables.h"

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

QString notesFromTextReply(const QByteArray& textReply)
{
    const QString text = QString::fromLatin1(textReply.left(1023));
    qsizetype n = qMin<qsizetype>(text.size(), 1022);
    while (n > 0 && text[n - 1] == QLatin1Char(' '))
        --n;
    return text.left(n);
}

Profile workingFromUpload(const Profile& uploaded, const QByteArray& textReply)
{
    Profile working = uploaded;
    for (int& t : working.TimerValue)
        t = int(floorDiv(t, 10));
    working.Notes = notesFromTextReply(textReply);
    return working;
}

QByteArray packedDecimalFromPin(const QString& pin)
{
    const QString text = pin.rightJustified(4, QLatin1Char('0'), true);
    int digit[4];
    for (int k = 0; k < 4; ++k) {
        const QChar c = text[k];
        digit[k] = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ? c.unicode() - '0' : 0;
    }
    QByteArray bytes(2, '\0');
    bytes[0] = char(16 * digit[0] + digit[1]);
    bytes[1] = char(16 * digit[2] + digit[3]);
    return bytes;
}

std::optional<QByteArray> encodeProfileImage(const Profile& working, QString* error)
{
    QByteArray image(ProfileImageSize, '\0');
    QString problem;
    auto refuse = [&](const QString& text) {
        if (problem.isEmpty())
            problem = text;
    };
    auto putWord = [&](int at, qint64 v, const QString& what, const QString& shown) {
        if (v < 0 || v > 65535) {
            refuse(QStringLiteral("%1 is %2, which does not fit its two bytes (0 to 65535)").arg(what, shown));
            return;
        }
        image[at] = char(v / 256);
        image[at + 1] = char(v % 256);
    };
    auto putByte = [&](int at, int v, const QString& what) {
        if (v < 0)
            refuse(QStringLiteral("%1 has no option selected").arg(what));
        else if (v > 255)
            refuse(QStringLiteral("%1 is option %2, which does not fit one byte").arg(what).arg(v));
        else
            image[at] = char(v);
    };

    const Profile fixed;
    for (int i = 0; i < 16; ++i) {
        if (isEditedTimer(i)) {
            const qint64 seconds = working.TimerValue[i];
            putWord(2 * i, seconds * 10, settingName(SlotKind::Timer, i),
                    QStringLiteral("%1 s (%2)").arg(seconds).arg(secondsToTime(int(seconds)).trimmed()));
        } else {
            putWord(2 * i, fixed.TimerValue[i], QString(), QString());
        }
    }
    for (int i = 0; i < 32; ++i) {
        const qint64 v = isEditedSysValue(i) ? working.SysValue[i] : 0;
        putWord(32 + 2 * i, v, settingName(SlotKind::SysValue, i), QString::number(v));
    }
    for (int i = 0; i < 32; ++i)
        putByte(96 + i, isEditedSwitchRecord(i) ? working.SwSwitch[i] : 0, settingName(SlotKind::Switch, i));
    for (int i = 0; i < 8; ++i) {
        const QString text = isEditedMessage(i) ? working.MessageText[i].leftJustified(16, QLatin1Char(' '), true)
                                                : QString(16, QLatin1Char(' '));
        for (int k = 0; k < 16; ++k) {
            const char16_t c = text[k].unicode();
            image[128 + 16 * i + k] = char(c < 256 ? c : '?');
        }
    }
    for (int i = 0; i < 8; ++i)
        putByte(256 + i, i < 2 ? working.AlogSensor[i] : 0, settingName(SlotKind::Switch, 32 + i));
    for (int i = 0; i < 8; ++i) {
        const QByteArray packed = packedDecimalFromPin(isEditedPin(i) ? working.PINtext[i] : QStringLiteral("0000"));
        image[264 + 2 * i] = packed[0];
        image[265 + 2 * i] = packed[1];
    }
    // Bytes 280-295 (programmable LEDs) stay 0; profile ID and date are blanks.
    for (int i = 296; i < ProfileImageSize; ++i)
        image[i] = ' ';

    // Every byte that fits its range keeps the sum of the image at or below
    // 53781 (edited timers at most 0xFFFA, the messages all 0xFF, the PINs
    // 9999), so the checksum always fits its two bytes.
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return std::nullopt;
    }
    if (error)
        error->clear();
    return image;
}

std::optional<QByteArray> encodeProfileText(const QString& notes, QString* error)
{
    if (notes.size() > ProfileTextDownloadSize - 1) {
        if (error)
            *error = QStringLiteral("the profile notes are %1 characters long; the controller holds at most %2")
                         .arg(notes.size())
                         .arg(ProfileTextDownloadSize - 1);
        return std::nullopt;
    }
    QByteArray text;
    text.reserve(ProfileTextDownloadSize);
    for (const QChar c : notes)
        text.append(c.unicode() < 256 ? char(c.unicode()) : '?');
    text.append(QByteArray(ProfileTextDownloadSize - text.size(), ' '));
    if (error)
        error->clear();
    return text;
}

} // namespace gx
