// Reading a controller's profile: the 310-byte image in one checksummed reply on
// a direct line, or in seven register blocks on the RS485 network, and the
// separate 1023-byte notes text.

#include "link.h"

#include "statussink.h"

#include "platform/serialport.h"
#include "platform/waiter.h"
#include "profile/profileimage.h"

namespace gx {

namespace {

constexpr int Attempts = 3;

struct Block {
    int firstRegister;
    int registers;
};
constexpr Block Blocks[7] = {{0x00, 32}, {0x20, 32}, {0x40, 32}, {0x60, 32},
                             {0x80, 32}, {0xA0, 32}, {0xC0, 28}};

// Where the bytes of register r sit in the image: timers and system values
// (registers 0x00-0x2F) and PINs (0xD8-0xDB) use both bytes; every other image
// byte has a register of its own and uses its low byte.
void storeRegister(std::array<uint8_t, 401>& image, int r, uint8_t high, uint8_t low)
{
    if (r < 0x30) {
        image[2 * r] = high;
        image[2 * r + 1] = low;
    } else if (r < 0xD8) {
        image[96 + (r - 0x30)] = low;
    } else if (r < 0xDC) {
        image[264 + 2 * (r - 0xD8)] = high;
        image[265 + 2 * (r - 0xD8)] = low;
    }
}

} // namespace

bool Link::profileAttemptLocal()
{
    ComError.clear();
    if (!exchange(SerialPort::BinaryMode, replylen::Profile, GotProfile, QByteArray(1, cmd::ProfileUpload),
                  timeout::ProfileLocal)) {
        ComError = QStringLiteral("Comm error: profile length= ") + QLatin1Char(' ')
                   + QString::number(MSComm1.inBufferCount());
        return false;
    }
    const unsigned long sum = byteSum(ProfileReply, 0, ProfileImageSize);
    const unsigned received = receivedChecksum(ProfileReply, ProfileImageSize);
    if (!checksumOk(ProfileReply, ProfileImageSize)) {
        ComError = QStringLiteral("Communication error: Profile checksum  %1  %2").arg(received).arg(sum);
        return false;
    }
    ProfileImage = ProfileReply.left(ProfileImageSize);
    return true;
}

bool Link::profileAttemptNetwork()
{
    ComError.clear();
    if (Address < 0 || Address >= int(NodeProfile.size()))
        return false;
    auto& store = NodeProfile[size_t(Address)];
    for (const Block& b : Blocks) {
        if (!exchange(SerialPort::BinaryMode, net::readReplyLength(b.registers), GotPacket,
                      net::readFrame(Address, b.firstRegister, b.registers), timeout::ProfileNetworkBlock)) {
            ComError = QStringLiteral("Comm error: no reply to registers %1").arg(b.firstRegister);
            return false;
        }
        for (int k = 0; k < b.registers; ++k) {
            const int at = net::ReplyHeader + 2 * k;
            const uint8_t high = at < NetReply.size() ? uint8_t(NetReply[at]) : 0;
            const uint8_t low = at + 1 < NetReply.size() ? uint8_t(NetReply[at + 1]) : 0;
            storeRegister(store, b.firstRegister + k, high, low);
        }
    }
    ProfileImage = QByteArray(reinterpret_cast<const char*>(store.data()), ProfileImageSize);
    return true;
}

void Link::uploadProfile()
{
    Retry = Attempts;
    bool ok = false;
    while (Retry > 0 && !ok && !waiter.closing()) {
        ok = NetworkMode ? profileAttemptNetwork() : profileAttemptLocal();
        if (!ok)
            --Retry;
    }
    if (!ok) {
        if (!waiter.closing())
            status.displayStatus(QStringLiteral("Profile upload error"), 0, 1);
        ProgStatus = QStringLiteral("profile error");
        return;
    }
    uploadedProfile = decodeProfileImage(ProfileImage);
    SiteName = uploadedProfile.MessageText[3];
    ProgStatus.clear();
}

void Link::uploadProfileText()
{
    // Nothing waiting is thrown away first, and the flag is cleared after the
    // request: the notes are long, and whatever arrives first counts.
    MSComm1.setInputMode(SerialPort::BinaryMode);
    MSComm1.setRThreshold(replylen::ProfileText);
    send(QByteArray(1, cmd::TextUpload));
    GotText = false;
    if (!waitFor(GotText, timeout::ProfileText)) {
        if (!waiter.closing())
            status.displayStatus(QStringLiteral("Profile-text error"), 0, 1);
        ProgStatus = QStringLiteral("Profile text error");
    }
}

} // namespace gx
