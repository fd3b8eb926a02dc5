#pragma once

// A Hayes-compatible modem between the serial port and the line. On-hook it
// takes AT command lines and answers with result codes; after CONNECT it passes
// bytes both ways unchanged until the escape ("+++" with the guard time of
// silence before and after it), a hang-up, or the serial line being dropped.
// No I/O: the caller passes bytes and the time in and takes the output.
//
// Command lines end in CR (LF is ignored), start with "AT" in either case and
// may hold several commands, as a Hayes modem takes them: Z, &F, E0/E1,
// V0/V1, Q0/Q1, X0-X4, Sn=v, D[T|P]number, A, H0, O, In, L0-L3, M0-M3,
// &C0/&C1, &D0-&D3, &K0-&K6, &W. A line gets one result: OK, ERROR at the
// first bad or unknown command (the commands before it stay done), or the
// outcome of D, A or O once known; Q1 keeps results back. S0 (rings before
// answering by itself, 0 never) and S12 (escape guard in 1/50 s) act; other
// registers are only stored.

#include "wire.h"

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace gxsim {

class Modem {
public:
    struct Config {
        int dialDelayMs = 2000;
        int answerDelayMs = 500;
        int ringIntervalMs = 3000;
        int maxRings = 10;
    };

    enum class State {
        OnHook,        // command mode, no call
        Dialling,      // waiting for the far end after D
        Answering,     // going on-line after A
        Data,          // bytes pass between the serial port and the line
        OnlineCommand, // command mode after the escape, the call still up
    };

    // What the modem produced since the last take().
    struct Output {
        Bytes toSerial;                  // echo and result codes
        Bytes toLine;                    // data for the controllers
        std::vector<std::string> events; // AT lines, results and mode changes, for the trace
    };

    static constexpr int kMaxLine = 255;

    explicit Modem(Config config);

    // Bytes from the serial port at `nowMs`.
    void receive(std::span<const std::uint8_t> bytes, std::int64_t nowMs);
    // Lets time pass: dial and answer outcomes, the escape, rings.
    void advanceTo(std::int64_t nowMs);
    // When advanceTo() next has something to do; none while nothing is pending.
    std::optional<std::int64_t> nextDueMs() const;
    // The serial port was closed (DTR dropped): hang up, back to command mode.
    // Settings (echo, result form, S registers) are kept.
    void lineDropped(std::int64_t nowMs);
    // An incoming call from the controller at `node`: RING at once and then
    // every ring interval until answered, stopped, or unanswered after
    // maxRings. Refused while a call is up or already ringing.
    bool ring(std::int64_t nowMs, int node, std::string* error);
    // Ends the ringing; false when nothing was ringing.
    bool stopRinging();

    // Dialling this number ends in NO CARRIER (spaces and case do not matter).
    void addFailNumber(const std::string& number);
    void clearFailNumbers() { failNumbers_.clear(); }

    State state() const { return state_; }
    bool passesData() const { return state_ == State::Data; }
    bool isRinging() const { return ringing_; }
    int sRegister(int n) const { return n >= 0 && n < int(sreg_.size()) ? sreg_[std::size_t(n)] : 0; }
    // One line: mode, echo, result form, S0 and S12, last number dialled.
    std::string describe() const;

    Output take();

private:
    enum Result { Ok = 0, Connect = 1, Ring = 2, NoCarrier = 3, Error = 4 };

    void commandByte(std::uint8_t b, std::int64_t nowMs);
    void dataByte(std::uint8_t b, std::int64_t nowMs);
    void executeLine(const std::string& raw, std::int64_t nowMs);
    void result(Result r);
    void setState(State s, const std::string& why = {});
    void resetSettings();
    void answer(std::int64_t nowMs);
    void sendRing(std::int64_t nowMs);
    std::int64_t guardMs() const { return std::int64_t(sreg_[12]) * 20; }

    Config config_;
    State state_ = State::OnHook;
    bool echo_ = true;
    bool verbose_ = true;
    bool quiet_ = false;
    std::string info_; // the lines of I, sent before the line's result
    std::array<int, 100> sreg_{};
    std::string cmdLine_;
    std::int64_t dueMs_ = 0; // dialling or answering outcome
    std::string dialled_;
    bool pulse_ = false;
    bool ringing_ = false;
    int rings_ = 0;
    int callerNode_ = 0;
    std::int64_t nextRingMs_ = 0;
    int plusCount_ = 0;
    std::int64_t lastDataMs_ = 0;
    std::set<std::string> failNumbers_;
    Output out_;
};

const char* modemStateName(Modem::State s);

} // namespace gxsim
