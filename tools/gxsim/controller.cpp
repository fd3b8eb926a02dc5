// A simulated controller's identity, status image, replies, stored profile and notes, and RS485 registers.

#include "controller.h"

#include <cmath>
#include <cstdlib>

namespace gxsim {

double firmwareNumber(const std::string& firmware)
{
    return std::strtod(firmware.c_str(), nullptr);
}

Controller::Controller(Model model, std::string firmware, int address)
    : model_(model), firmware_(std::move(firmware)), address_(address),
      profile_(ProfileImage::makeDefault(model, address)), engine_(profile_)
{
    notes_ = "Simulated controller at address " + std::to_string(address)
        + ". Default profile: 3 phases, 230 V, 50 Hz, 100 A full load.";
    notes_.resize(kTextReplySize, ' ');
}

std::string Controller::identification() const
{
    std::string id = (model_ == Model::GX510 ? "GX510 V" : "GX520 V") + firmware_;
    id.resize(16, ' ');
    return id;
}

int Controller::statusLength() const
{
    const double v = firmwareNumber(firmware_);
    return (std::fabs(v - 1.0) < 1e-9 || std::fabs(v - 1.01) < 1e-9) ? 65 : 67;
}

std::array<std::uint8_t, Controller::kStatusImageSize> Controller::statusImage(bool network) const
{
    const Engine& e = engine_;
    std::array<std::uint8_t, kStatusImageSize> s{};
    auto bit = [](bool on, int n) { return std::uint8_t(on ? (1u << n) : 0u); };
    auto clampByte = [](int v) { return std::uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); };

    s[0] = std::uint8_t(e.faultCode());
    s[1] = std::uint8_t(e.stateByte());
    s[2] = std::uint8_t(e.startNumber());
    // Outputs: bits 0..3 programmable outputs 1..4, 4 fuel, 5 crank, 6 stop solenoid, 7 preheat.
    s[3] = bit(e.programmableOutput(1), 0) | bit(e.programmableOutput(2), 1) | bit(e.programmableOutput(3), 2)
        | bit(e.programmableOutput(4), 3) | bit(e.fuelOn(), 4) | bit(e.cranking(), 5)
        | bit(e.stopOutput(), 6) | bit(e.preheating(), 7);
    s[4] = bit(e.startDelayOver(), 0) | bit(e.crankRestOrCooling(), 3) | bit(e.overrideOver(), 4)
        | bit(e.warmupOver(), 5) | bit(e.restorationOver(), 6);
    s[5] = bit(e.contactorClosedOrIdle(), 5);
    const bool lop = e.oilPsi() < int(profile_.sysValue(SOilShutdown));
    s[6] = bit(e.mainsPresent(), 0) | bit(profile_.swSwitch(WMagneticPickup) == 0, 2) | bit(lop, 5)
        | bit(e.mode() == Mode::Auto, 6) | bit(e.mode() == Mode::Man, 7);
    s[7] = bit(e.mode() == Mode::Off, 0) | bit(e.remoteStart(), 5) | bit(e.engineStopped(), 7);
    s[8] = bit(e.startFlag(), 4) | bit(e.loadCycle(), 5);
    s[9] = bit(e.energiseToStop(), 4) | bit(e.stopOutput(), 5);
    s[10] = bit(e.chargerFailed() && e.fuelOn(), 1);
    s[11] = bit(profile_.swSwitch(WOilUnits) != 0, 7);
    s[12] = bit(e.loadAccepted(), 2);
    s[13] = bit(e.chargeStartRun(), 0) | bit(e.testRun(), 2);
    s[14] = bit(e.inputActive(3), 4) | bit(e.inputActive(4), 5) | bit(e.inputActive(5), 6);
    s[15] = clampByte(e.frequency());
    put16At(&s[16], unsigned(e.rpm()));

    const std::uint64_t h = e.hoursHundredths();
    for (int t = 0; t < 3; ++t) {
        put16At(&s[45 + 2 * t], unsigned(e.genVolts(t + 1)));
        put16At(&s[51 + 2 * t], unsigned(e.genAmps(t + 1)));
    }
    put16At(&s[57], e.timerTenths(8));
    put16At(&s[59], std::min(e.idmtCount(), 0xFFFFu));
    put16At(&s[61], unsigned(e.batteryTenths()));

    if (!network) {
        for (int t = 0; t < 8; ++t)
            put16At(&s[19 + 2 * t], e.timerTenths(t));
        // Hours run: byte 41 the two most significant digits, byte 38 the hundredths.
        s[38] = toBcd(unsigned(h % 100));
        s[39] = toBcd(unsigned(h / 100 % 100));
        s[40] = toBcd(unsigned(h / 10000 % 100));
        s[41] = toBcd(unsigned(h / 1000000 % 100));
        s[42] = clampByte(e.oilPsi());
        s[43] = clampByte(e.tempC());
        s[44] = std::uint8_t(e.faultIsShutdown() ? 0 : e.faultCode());
        put16At(&s[63], e.timerTenths(13));
    } else {
        s[18] = clampByte(e.oilPsi());
        s[19] = clampByte(e.tempC());
        for (int t = 0; t < 8; ++t)
            put16At(&s[23 + 2 * t], e.timerTenths(t));
        // Hours run in hundredths, six BCD digits: 44 most significant, 42 the
        // hundredths. Byte 17 stays the low byte of the engine speed, so the
        // reading (44 43 42 "." 17) divided by 100 gives the hours.
        s[42] = toBcd(unsigned(h % 100));
        s[43] = toBcd(unsigned(h / 100 % 100));
        s[44] = toBcd(unsigned(h / 10000 % 100));
        put16At(&s[63], e.timerTenths(13));
    }
    return s;
}

Bytes Controller::statusReply() const
{
    const auto image = statusImage(false);
    const int len = statusLength();
    Bytes out(image.begin(), image.begin() + (len - 2));
    appendChecksum(out);
    return out;
}

Bytes Controller::textReply() const
{
    Bytes out(notes_.begin(), notes_.end());
    out.resize(kTextReplySize, ' ');
    return out;
}

Bytes Controller::latestFaultReply(int code) const
{
    const std::string site = profile_.message(MSiteName);
    Bytes out(site.begin(), site.end());
    out.push_back(std::uint8_t(code));
    out.push_back(std::uint8_t(engine_.stateByte()));
    return out;
}

bool Controller::storeProfile(std::span<const std::uint8_t> download)
{
    if (!ProfileImage::checksumMatches(download))
        return false;
    const int state = engine_.stateByte();
    if (state != 0 && state != 5)
        return false;
    ProfileImage p;
    std::copy(download.begin(), download.begin() + ProfileImage::kSize, p.bytes().begin());
    profile_ = p;
    return true;
}

void Controller::storeText(std::span<const std::uint8_t> text)
{
    notes_.assign(text.begin(), text.end());
    notes_.resize(kTextReplySize, ' ');
}

bool Controller::pinMatches(std::uint8_t first, std::uint8_t second) const
{
    return profile_.pinByte(PRemoteLogOn, 0) == first && profile_.pinByte(PRemoteLogOn, 1) == second;
}

unsigned Controller::holdingRegister(int reg) const
{
    const auto& b = profile_.bytes();
    if (reg < 0)
        return 0;
    if (reg < 0x30) // timers and system values: a whole register each
        return get16(&b[2 * reg]);
    if (reg < 0xD8) // switches, messages, sensors: one image byte per register
        return b[96 + (reg - 0x30)];
    if (reg < kIdRegister) // PINs 0..3: both packed bytes
        return get16(&b[264 + 2 * (reg - 0xD8)]);
    if (reg < kIdRegister + 16)
        return std::uint8_t(identification()[reg - kIdRegister]);
    return 0;
}

unsigned Controller::inputRegister(int reg) const
{
    const auto s = statusImage(true);
    if (reg >= 0 && reg <= 20) // one status byte each, in the low byte
        return s[reg];
    if (reg >= 22 && reg <= 42) // two status bytes each, from byte 23 on
        return get16(&s[23 + 2 * (reg - 22)]);
    return 0;
}

void Controller::writeSwitch(int number, bool on)
{
    if (number == 4 || number == 5) {
        // Outputs A and B follow the written value.
        const bool now = number == 4 ? engine_.outputA() : engine_.outputB();
        if (now != on)
            engine_.command(number == 4 ? Command::OutputA : Command::OutputB);
        return;
    }
    if (!on)
        return;
    static constexpr Command map[12] = {
        Command::FaultReset, Command::GenStart, Command::GenStop, Command::Reload,
        Command::OutputA, Command::OutputB, Command::RemoteTest, Command::GenStop /*7 unused*/,
        Command::ManMode, Command::AutoMode, Command::ManStart, Command::ManStop};
    if (number >= 0 && number < 12 && number != 7)
        engine_.command(map[number]);
}

} // namespace gxsim
