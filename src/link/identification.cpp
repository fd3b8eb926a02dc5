// Controller identification: the 16-character text that names the model and the
// firmware version, asked for with 0x04 on a direct line, or read from the 16
// registers at 0x00DC of a network node (the low byte of each is one character).

#include "link.h"

#include "statussink.h"

#include "platform/serialport.h"
#include "platform/waiter.h"

namespace gx {

namespace {
const QString NoIdMessage = QStringLiteral("No ID received from GX510-520");
}

QString instrumentOf(const QString& id)
{
    const int at = id.indexOf(QLatin1String("GX"));
    return at < 0 ? QString() : id.mid(at, 5);
}

double firmwareVersion(const QString& id)
{
    const int v = id.indexOf(QLatin1Char('V'));
    const QString piece = id.mid(v < 0 ? 0 : v + 1, 6);
    // The longest leading decimal number of the piece (blanks before it allowed).
    int i = 0;
    while (i < piece.size() && piece[i] == QLatin1Char(' '))
        ++i;
    const int start = i;
    bool point = false;
    while (i < piece.size() && (piece[i].isDigit() || (piece[i] == QLatin1Char('.') && !point))) {
        if (piece[i] == QLatin1Char('.'))
            point = true;
        ++i;
    }
    bool ok = false;
    const double value = piece.mid(start, i - start).toDouble(&ok);
    return ok ? value : 0.0;
}

void Link::uploadID()
{
    bool got = false;
    QString text;
    if (!NetworkMode) {
        got = exchange(SerialPort::TextMode, replylen::Identification, GotID, QByteArray(1, cmd::Identify),
                       timeout::Identification);
        text = ID;
    } else {
        status.displayStatus(QStringLiteral("Uploading ID   "), 2, 0);
        got = exchange(SerialPort::BinaryMode, replylen::NetIdentification, GotID,
                       net::readFrame(Address, 0x00DC, 16), timeout::Identification);
        if (got) {
            for (int k = 0; k < 16; ++k) {
                const int at = net::ReplyHeader + 1 + 2 * k;
                text += QChar::fromLatin1(at < NetReply.size() ? NetReply[at] : ' ');
            }
        }
    }
    if (!got) {
        // A wait cut short by a stop is no failure of the controller's.
        if (!waiter.closing())
            status.displayStatus(NoIdMessage, 0, 1);
        ProgStatus = NoIdMessage;
        return;
    }
    ID = text;
    Instrument = instrumentOf(ID);
    FirmVersion = firmwareVersion(ID);
}

} // namespace gx
