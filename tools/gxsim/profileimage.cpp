// The simulated profile image: messages and PINs in and out, the upload reply, checksums, the default image.

#include "profileimage.h"

#include <cstdio>

namespace gxsim {

std::string toHex(std::span<const std::uint8_t> bytes)
{
    std::string out;
    out.reserve(bytes.size() * 3);
    char buf[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", bytes[i]);
        out += buf;
    }
    return out;
}

std::string ProfileImage::message(int slot) const
{
    const auto* p = &bytes_[128 + 16 * slot];
    return std::string(reinterpret_cast<const char*>(p), 16);
}

void ProfileImage::setMessage(int slot, const std::string& text)
{
    for (int i = 0; i < 16; ++i)
        bytes_[128 + 16 * slot + i] = i < int(text.size()) ? std::uint8_t(text[i]) : std::uint8_t(' ');
}

void ProfileImage::setPin(int slot, const std::string& digits)
{
    std::string d = digits;
    while (d.size() < 4)
        d.insert(d.begin(), '0');
    auto v = [&](int i) { return (d[i] >= '0' && d[i] <= '9') ? d[i] - '0' : 0; };
    bytes_[264 + 2 * slot] = std::uint8_t(16 * v(0) + v(1));
    bytes_[265 + 2 * slot] = std::uint8_t(16 * v(2) + v(3));
}

std::string ProfileImage::pinText(int slot) const
{
    const unsigned a = bytes_[264 + 2 * slot], b = bytes_[265 + 2 * slot];
    const unsigned n = 1000 * (a >> 4) + 100 * (a & 15) + 10 * (b >> 4) + (b & 15);
    std::string s = std::to_string(n);
    while (s.size() < 4)
        s.insert(s.begin(), '0');
    return s;
}

Bytes ProfileImage::uploadReply() const
{
    Bytes out(bytes_.begin(), bytes_.end());
    appendChecksum(out);
    return out;
}

bool ProfileImage::checksumMatches(std::span<const std::uint8_t> reply)
{
    if (reply.size() != kReplySize)
        return false;
    return byteSum(reply.first(kSize)) == get16(&reply[kSize]);
}

ProfileImage ProfileImage::makeDefault(Model model, int address)
{
    ProfileImage p;
    // Short timers so that a demonstration start takes well under ten seconds.
    const unsigned timers[16] = {
        30,  // start delay 3 s
        20,  // preheat 2 s
        50,  // crank 5 s
        50,  // crank rest 5 s
        80,  // override 8 s
        50,  // warm-up 5 s
        100, // restoration 10 s
        100, // cooling 10 s
        30,  // speed signal delay 3 s
        100, // energise to stop 10 s
        20, 600, 10,
        20,  // contactor delay 2 s
        5, 15};
    for (int i = 0; i < 16; ++i)
        p.setTimer(i, timers[i]);

    const unsigned sys[32] = {
        120,  // flywheel teeth
        600,  // crank disconnect rpm
        1750, // over speed rpm
        1300, // under speed rpm
        20,   // crank disconnect Hz
        57,   // over frequency
        45,   // under frequency
        16,   // battery over voltage
        10,   // battery under voltage
        3,    // start attempts
        200,  // generator under voltage
        207,  // generator voltage OK
        100,  // CT ratio (:5 A)
        100,  // full-load current A
        5,    // mains fail delay s
        11,   // charge-start voltage
        30,   // IDMT time constant
        25,   // instant trip, tenths of FLC (2.5 x)
        25,   // oil warning psi
        15,   // oil shutdown psi
        95,   // temperature warning C
        105,  // temperature shutdown C
        30,   // charge-start period min
        unsigned(address),
        265,  // generator over voltage
        10,   // over speed/frequency override %
        3,    // phases
        1,    // remote-test time min
        0, 0, 0, 0};
    for (int i = 0; i < 32; ++i)
        p.setSysValue(i, sys[i]);

    const int sw[32] = {0, 1, 0, 1, 1, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0,
                        // inputs 3..5: shutdown not overridden, warning not overridden, not used
                        2, 4, 0, 0, 0, 0, 0, 0,
                        // outputs 1..4: common alarm, gen contactor, PC ctrl A, PC ctrl B
                        20, 15, 46, 48, 0, 0, 0, 0};
    for (int i = 0; i < 32; ++i)
        p.setSwSwitch(i, sw[i]);

    p.setMessage(0, "Low fuel level");
    p.setMessage(1, "Low coolant");
    p.setMessage(2, "Door open");
    p.setMessage(3, "Sim site " + std::to_string(address));
    p.setMessage(4, "0123456789");
    p.setMessage(5, model == Model::GX510 ? "GX510 simulator" : "GX520 simulator");
    p.setMessage(6, "");
    p.setMessage(7, "");

    p.setSensor(0, 2);
    p.setSensor(1, 2);

    p.setPin(PSwitchOn, "0000");
    p.setPin(PProgram, "1111");
    p.setPin(PRemoteLogOn, "1234");
    p.setPin(PModeChange, "0000");
    for (int i = 4; i < 8; ++i)
        p.setPin(i, "0000");

    // 280..295 programmable LEDs stay 0; profile ID and date/time are text.
    const std::string id = "GXSIM   ", date = "      ";
    for (int i = 0; i < 8; ++i)
        p.bytes_[296 + i] = std::uint8_t(id[i]);
    for (int i = 0; i < 6; ++i)
        p.bytes_[304 + i] = std::uint8_t(date[i]);
    return p;
}

} // namespace gxsim
