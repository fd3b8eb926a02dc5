#pragma once

// The serial line with one controller or an RS485 network of controllers on
// it. Bytes arrive in pieces; the line assembles requests in both framings and
// produces the replies. No I/O: the caller passes bytes and the time in.
//
// Framing rules:
// - Idle, a byte is a direct command, except 0x1E, which starts an 8-byte
//   network frame (0x1E is not a direct command byte).
// - A network frame must end with 0xFE and arrive with no gap over
//   kFrameGapMs between its bytes; otherwise it is dropped and scanning
//   restarts at the next 0x1E inside it. The bytes of a broken frame are never
//   taken as direct commands.
// - After 0x03 the next 312 bytes are the profile image, after 0x18 the next
//   1025 are the notes text, after 0x09 the next two are the PIN; whatever
//   their values. Each payload must keep coming (kPayloadGapMs between bytes,
//   kPayloadStartMs for the first) or it is abandoned.

#include "controller.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace gxsim {

// One request as the line recognised it, and the reply it produced (empty
// when the request gets none).
struct Exchange {
    std::string what;
    int node = -1;
    Bytes request;
    Bytes reply;
    bool checksummed = false;
};

class Line {
public:
    static constexpr int kFrameGapMs = 50;
    static constexpr int kPayloadStartMs = 5000;
    static constexpr int kPayloadGapMs = 2000;

    struct Config {
        Model model = Model::GX520;
        std::string firmware = "2.01";
        // Node addresses 1..15. Empty: a single controller (address 1) that is
        // not on a network and stays silent to network frames.
        std::vector<int> nodes;
    };

    explicit Line(const Config& config);

    std::vector<Exchange> feed(std::span<const std::uint8_t> bytes, std::int64_t nowMs);
    void advanceTo(std::int64_t nowMs);

    bool network() const { return network_; }
    std::vector<int> addresses() const;
    Controller* controller(int address);
    // The controller that answers the direct framing (the lowest node).
    Controller& lineController() { return *controllers_.begin()->second; }

private:
    enum class Rx { Idle, NetFrame, Download, TextDownload, Pin };

    void direct(std::uint8_t b, std::vector<Exchange>& out);
    void networkFrame(std::vector<Exchange>& out);
    void finishPayload(std::vector<Exchange>& out);
    void flushIgnored(std::vector<Exchange>& out);
    int latestFaultCodeForLine() const;
    std::pair<int, int> newestFaultNode() const;

    bool network_ = false;
    std::map<int, std::unique_ptr<Controller>> controllers_;
    Rx rx_ = Rx::Idle;
    Bytes pending_;
    Bytes ignored_;
    std::size_t payloadSize_ = 0;
    std::int64_t lastByteMs_ = 0;
    bool rejectNextId_ = false;
};

// Parses "1,2,5" or "1-3,7" into sorted unique addresses 1..15.
bool parseNodeList(const std::string& text, std::vector<int>& out, std::string* error);

} // namespace gxsim
