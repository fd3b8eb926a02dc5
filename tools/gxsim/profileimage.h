#pragma once

// The 310-byte profile image a controller keeps: timers, system values,
// switches, messages, analogue sensors, PINs and filler, in wire layout.

#include "wire.h"

#include <array>
#include <cstdint>
#include <string>

namespace gxsim {

enum class Model { GX510, GX520 };

// Timer slots (tenths of a second).
enum TimerSlot {
    TStartDelay = 0, TPreheat = 1, TCrank = 2, TCrankRest = 3, TOverride = 4,
    TWarmup = 5, TRestoration = 6, TCooling = 7, TSpeedSignal = 8, TEnergiseToStop = 9,
    TContactor = 13
};

// System-value slots.
enum SysSlot {
    SFlywheelTeeth = 0, SCrankDisconnectRpm = 1, SOverSpeed = 2, SUnderSpeed = 3,
    SCrankDisconnectHz = 4, SOverFrequency = 5, SUnderFrequency = 6, SBatteryOver = 7,
    SBatteryUnder = 8, SStartAttempts = 9, SGenUnderVolts = 10, SGenVoltsOk = 11,
    SCtRatio = 12, SFullLoadCurrent = 13, SMainsFailDelay = 14, SChargeStartVolts = 15,
    SIdmtTimeConstant = 16, SInstantTrip = 17, SOilWarning = 18, SOilShutdown = 19,
    STempWarning = 20, STempShutdown = 21, SChargeStartPeriod = 22, SRs485Address = 23,
    SGenOverVolts = 24, SOverSpeedOverride = 25, SGenPhases = 26, SRemoteTestTime = 27
};

// Switch slots.
enum SwitchSlot {
    WLoadInMan = 0, WOilUnits = 3, WTempUnits = 4, WMagneticPickup = 8,
    WVoltageMeasurement = 13, WInput3 = 16, WOutput1 = 24
};

// Message slots.
enum MessageSlot { MInput3 = 0, MSiteName = 3, MPhoneOut = 4, MPowerUp = 5 };

// PIN slots.
enum PinSlot { PSwitchOn = 0, PProgram = 1, PRemoteLogOn = 2, PModeChange = 3 };

class ProfileImage {
public:
    static constexpr int kSize = 310;
    static constexpr int kReplySize = 312;

    ProfileImage() { bytes_.fill(0); }

    // A plausible profile for a simulated controller at the given RS485 address.
    static ProfileImage makeDefault(Model model, int address);

    unsigned timer(int slot) const { return get16(&bytes_[2 * slot]); }
    void setTimer(int slot, unsigned tenths) { put16At(&bytes_[2 * slot], tenths); }

    unsigned sysValue(int slot) const { return get16(&bytes_[32 + 2 * slot]); }
    void setSysValue(int slot, unsigned value) { put16At(&bytes_[32 + 2 * slot], value); }

    int swSwitch(int slot) const { return bytes_[96 + slot]; }
    void setSwSwitch(int slot, int option) { bytes_[96 + slot] = static_cast<std::uint8_t>(option); }

    // Sixteen characters, blank-padded.
    std::string message(int slot) const;
    void setMessage(int slot, const std::string& text);

    int sensor(int slot) const { return bytes_[256 + slot]; }
    void setSensor(int slot, int option) { bytes_[256 + slot] = static_cast<std::uint8_t>(option); }

    // The two packed-decimal bytes of a PIN slot.
    std::uint8_t pinByte(int slot, int which) const { return bytes_[264 + 2 * slot + which]; }
    // Four digits, e.g. "1234"; non-digits count as 0.
    void setPin(int slot, const std::string& digits);
    std::string pinText(int slot) const;

    const std::array<std::uint8_t, kSize>& bytes() const { return bytes_; }
    std::array<std::uint8_t, kSize>& bytes() { return bytes_; }

    // The 312-byte upload reply: the image then the checksum of bytes 0..309.
    Bytes uploadReply() const;

    // True when the 312 bytes of a download carry a checksum matching their image.
    static bool checksumMatches(std::span<const std::uint8_t> reply312);

    bool operator==(const ProfileImage&) const = default;

private:
    std::array<std::uint8_t, kSize> bytes_;
};

} // namespace gxsim
