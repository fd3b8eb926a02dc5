#pragma once

// One simulated controller: its profile and notes, identity, engine, and the
// encoding of every reply it sends, in both framings.

#include "engine.h"
#include "profileimage.h"

#include <array>
#include <memory>
#include <string>

namespace gxsim {

class Controller {
public:
    static constexpr int kTextReplySize = 1023;
    static constexpr int kTextDownloadSize = 1025;
    static constexpr int kStatusImageSize = 67;
    static constexpr int kIdRegister = 0x00DC;

    Controller(Model model, std::string firmware, int address);
    Controller(const Controller&) = delete;
    Controller& operator=(const Controller&) = delete;

    Model model() const { return model_; }
    const std::string& firmware() const { return firmware_; }
    void setFirmware(std::string fw) { firmware_ = std::move(fw); }
    int address() const { return address_; }
    bool online() const { return online_; }
    void setOnline(bool on) { online_ = on; }

    Engine& engine() { return engine_; }
    const Engine& engine() const { return engine_; }
    const ProfileImage& profile() const { return profile_; }
    // Replaces the profile as a download does (the engine reads it live).
    void setProfile(const ProfileImage& p) { profile_ = p; }
    const std::string& notes() const { return notes_; }

    // "GX520 V2.01" padded with blanks to 16 characters.
    std::string identification() const;
    // 65 bytes for firmware 1.0 and 1.01, else 67.
    int statusLength() const;

    // Status bytes 0..66 in the direct layout (bytes 65, 66 are where the
    // checksum goes) or in the network layout.
    std::array<std::uint8_t, kStatusImageSize> statusImage(bool network) const;

    Bytes statusReply() const;
    Bytes profileReply() const { return profile_.uploadReply(); }
    Bytes textReply() const;
    // 18 bytes: site name (16 characters), latest fault code, state.
    Bytes latestFaultReply(int code) const;

    // A downloaded image with its checksum (312 bytes); stored only when the
    // checksum matches and the engine is stopped. Returns whether it was stored.
    bool storeProfile(std::span<const std::uint8_t> download);
    // The 1025 downloaded characters; the first 1023 are the notes text.
    void storeText(std::span<const std::uint8_t> text);
    // The two packed-decimal PIN bytes against the remote log-on PIN.
    bool pinMatches(std::uint8_t first, std::uint8_t second) const;

    // RS485 function 3 (profile register map and identification) and
    // function 4 (status input registers).
    unsigned holdingRegister(int reg) const;
    unsigned inputRegister(int reg) const;

    // Network switch (function 5) 0..11.
    void writeSwitch(int number, bool on);

private:
    Model model_;
    std::string firmware_;
    int address_;
    bool online_ = true;
    ProfileImage profile_;
    std::string notes_;
    Engine engine_;
};

// The numeric value of a firmware text ("2.01" gives 2.01; text gives 0).
double firmwareNumber(const std::string& firmware);

} // namespace gxsim
