// The simulated Hayes modem: AT command lines, result codes, dialling, ringing, answering, escape and hang-up.

#include "modem.h"

#include <algorithm>
#include <cctype>

namespace gxsim {

namespace {

constexpr std::uint8_t kCr = '\r', kLf = '\n', kEscapeChar = '+';

const char* resultWord(int r)
{
    static const char* words[] = {"OK", "CONNECT", "RING", "NO CARRIER", "ERROR"};
    return words[r];
}

// The received text with CR, LF and other control bytes spelt out.
std::string visible(const std::string& s)
{
    static const char* d = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        if (c == kCr)
            out += "<CR>";
        else if (c == kLf)
            out += "<LF>";
        else if (c < 0x20 || c >= 0x7F)
            out += std::string("<") + d[c >> 4] + d[c & 15] + ">";
        else
            out += char(c);
    }
    return out;
}

// Spaces, dashes and brackets only help the reader of a dial string.
std::string normalNumber(const std::string& s)
{
    std::string out;
    for (unsigned char c : s)
        if (c != ' ' && c != '-' && c != '(' && c != ')')
            out += char(std::toupper(c));
    return out;
}

} // namespace

const char* modemStateName(Modem::State s)
{
    switch (s) {
    case Modem::State::OnHook: return "command, on-hook";
    case Modem::State::Dialling: return "dialling";
    case Modem::State::Answering: return "answering";
    case Modem::State::Data: return "data";
    case Modem::State::OnlineCommand: return "command, call up";
    }
    return "?";
}

Modem::Modem(Config config) : config_(config) { resetSettings(); }

void Modem::resetSettings()
{
    echo_ = true;
    verbose_ = true;
    quiet_ = false;
    sreg_.fill(0);
    sreg_[2] = 43; // escape character
    sreg_[3] = 13; // line end
    sreg_[4] = 10; // line feed
    sreg_[5] = 8;  // backspace
    sreg_[6] = 2;
    sreg_[7] = 50;
    sreg_[8] = 2;
    sreg_[9] = 6;
    sreg_[10] = 14;
    sreg_[11] = 95;
    sreg_[12] = 50; // escape guard time, 1/50 s
}

Modem::Output Modem::take()
{
    Output o = std::move(out_);
    out_ = {};
    return o;
}

void Modem::setState(State s, const std::string& why)
{
    state_ = s;
    out_.events.push_back(std::string("mode ") + modemStateName(s) + (why.empty() ? "" : " (" + why + ")"));
}

void Modem::result(Result r)
{
    if (!info_.empty()) {
        out_.toSerial.insert(out_.toSerial.end(), info_.begin(), info_.end());
        info_.clear();
    }
    if (quiet_) {
        out_.events.push_back(std::string("TX nothing (quiet): ") + resultWord(r));
        return;
    }
    std::string text;
    if (verbose_) {
        text = std::string("\r\n") + resultWord(r) + "\r\n";
        out_.events.push_back(std::string("TX ") + resultWord(r));
    } else {
        text = std::to_string(int(r)) + "\r";
        out_.events.push_back("TX " + std::to_string(int(r)) + " (" + resultWord(r) + ")");
    }
    out_.toSerial.insert(out_.toSerial.end(), text.begin(), text.end());
}

void Modem::receive(std::span<const std::uint8_t> bytes, std::int64_t nowMs)
{
    advanceTo(nowMs);
    for (std::uint8_t b : bytes) {
        switch (state_) {
        case State::Dialling:
        case State::Answering:
            // Any character abandons the call attempt; it is not a command.
            result(NoCarrier);
            setState(State::OnHook, state_ == State::Dialling ? "dial abandoned" : "answer abandoned");
            break;
        case State::Data:
            dataByte(b, nowMs);
            break;
        case State::OnHook:
        case State::OnlineCommand:
            commandByte(b, nowMs);
            break;
        }
    }
}

void Modem::dataByte(std::uint8_t b, std::int64_t nowMs)
{
    // The escape characters are data too; the escape only takes effect once
    // the guard time after them has passed in silence.
    const std::int64_t gap = nowMs - lastDataMs_;
    if (b == kEscapeChar && plusCount_ > 0 && plusCount_ < 3 && gap < std::max<std::int64_t>(guardMs(), 1))
        ++plusCount_;
    else if (b == kEscapeChar && gap >= guardMs())
        plusCount_ = 1;
    else
        plusCount_ = 0;
    lastDataMs_ = nowMs;
    out_.toLine.push_back(b);
}

void Modem::commandByte(std::uint8_t b, std::int64_t nowMs)
{
    if (echo_)
        out_.toSerial.push_back(b);
    if (b != kCr) {
        if (cmdLine_.size() <= std::size_t(kMaxLine))
            cmdLine_ += char(b);
        return;
    }
    const std::string line = std::move(cmdLine_);
    cmdLine_.clear();
    executeLine(line, nowMs);
}

void Modem::executeLine(const std::string& raw, std::int64_t nowMs)
{
    out_.events.push_back("RX '" + visible(raw + "\r") + "'");
    std::string s;
    for (unsigned char c : raw)
        if (c != kLf && c != ' ')
            s += char(std::toupper(c));
    if (s.empty())
        return; // a bare CR gets no result
    if (raw.size() > std::size_t(kMaxLine) || s.size() < 2 || s[0] != 'A' || s[1] != 'T')
        return result(Error);

    std::size_t i = 2;
    // Up to three digits; `none` when there are none.
    const auto digits = [&](int none) {
        if (i >= s.size() || !std::isdigit(static_cast<unsigned char>(s[i])))
            return none;
        int v = 0;
        for (int k = 0; k < 3 && i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++k)
            v = v * 10 + (s[i++] - '0');
        if (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
            return 1000; // too long for any value
        return v;
    };
    while (i < s.size()) {
        const char c = s[i++];
        switch (c) {
        case 'Z':
            if (digits(0) != 0)
                return result(Error);
            if (state_ != State::OnHook)
                setState(State::OnHook, "reset");
            resetSettings();
            break;
        case 'E':
        case 'V': {
            const int v = digits(0);
            if (v > 1)
                return result(Error);
            (c == 'E' ? echo_ : verbose_) = v == 1;
            break;
        }
        case 'X':
            if (digits(0) > 4)
                return result(Error);
            break; // basic result codes whatever the level
        case 'Q': {
            const int v = digits(0);
            if (v > 1)
                return result(Error);
            quiet_ = v == 1;
            break;
        }
        case 'L':
        case 'M':
            if (digits(0) > 3)
                return result(Error);
            break; // speaker volume and control: nothing to hear
        case 'I': {
            const int v = digits(0);
            if (v > 9)
                return result(Error);
            const std::string info = v == 0 ? "GXSIM" : "GXSIM HAYES-COMPATIBLE MODEM";
            info_ += (verbose_ ? "\r\n" : "") + info + "\r\n";
            break;
        }
        case 'O':
            if (digits(0) > 1)
                return result(Error);
            if (state_ != State::OnlineCommand)
                return result(state_ == State::OnHook ? NoCarrier : Error);
            plusCount_ = 0;
            lastDataMs_ = nowMs;
            setState(State::Data, "back on-line");
            return result(Connect);
        case '&': {
            const char k = i < s.size() ? s[i++] : '\0';
            const int v = digits(0);
            const int most = k == 'F' || k == 'W' ? 0 : k == 'C' ? 1 : k == 'D' ? 3 : k == 'K' ? 6 : -1;
            if (most < 0 || v > most)
                return result(Error);
            if (k == 'F') {
                if (state_ != State::OnHook)
                    setState(State::OnHook, "factory defaults");
                resetSettings();
            }
            break;
        }
        case 'S': {
            const int n = digits(-1);
            if (n < 0 || n >= int(sreg_.size()) || i >= s.size() || s[i] != '=')
                return result(Error);
            ++i;
            const int v = digits(0);
            if (v > 255)
                return result(Error);
            sreg_[std::size_t(n)] = v;
            break;
        }
        case 'H':
            if (digits(0) != 0)
                return result(Error);
            if (state_ != State::OnHook)
                setState(State::OnHook, "hang-up");
            break;
        case 'D': {
            if (state_ != State::OnHook)
                return result(Error);
            pulse_ = i < s.size() && s[i] == 'P';
            if (i < s.size() && (s[i] == 'T' || s[i] == 'P'))
                ++i;
            const std::string number = normalNumber(s.substr(i));
            if (number.empty())
                return result(Error);
            dialled_ = number;
            dueMs_ = nowMs + config_.dialDelayMs;
            setState(State::Dialling, dialled_ + (pulse_ ? " pulse" : " tone"));
            return; // the outcome is the line's result
        }
        case 'A':
            if (state_ != State::OnHook)
                return result(Error);
            if (!ringing_)
                return result(NoCarrier);
            answer(nowMs);
            return;
        default:
            return result(Error);
        }
    }
    result(Ok);
}

void Modem::answer(std::int64_t nowMs)
{
    ringing_ = false;
    dueMs_ = nowMs + config_.answerDelayMs;
    setState(State::Answering, "call from node " + std::to_string(callerNode_));
}

void Modem::sendRing(std::int64_t nowMs)
{
    ++rings_;
    result(Ring);
    if (sreg_[0] > 0 && rings_ >= sreg_[0])
        answer(nowMs);
}

void Modem::advanceTo(std::int64_t nowMs)
{
    if ((state_ == State::Dialling || state_ == State::Answering) && nowMs >= dueMs_) {
        if (state_ == State::Dialling && failNumbers_.count(dialled_)) {
            result(NoCarrier);
            setState(State::OnHook, "no answer from " + dialled_);
        } else {
            result(Connect);
            plusCount_ = 0;
            lastDataMs_ = dueMs_;
            setState(State::Data);
        }
    }
    if (state_ == State::Data && plusCount_ == 3 && nowMs >= lastDataMs_ + guardMs()) {
        plusCount_ = 0;
        setState(State::OnlineCommand, "escape");
        result(Ok);
    }
    while (ringing_ && nowMs >= nextRingMs_) {
        if (rings_ >= config_.maxRings) {
            ringing_ = false;
            out_.events.push_back("call not answered after " + std::to_string(rings_) + " rings");
            break;
        }
        nextRingMs_ += config_.ringIntervalMs;
        sendRing(nowMs);
    }
}

std::optional<std::int64_t> Modem::nextDueMs() const
{
    std::optional<std::int64_t> due;
    const auto consider = [&](std::int64_t t) { due = due ? std::min(*due, t) : t; };
    if (state_ == State::Dialling || state_ == State::Answering)
        consider(dueMs_);
    if (state_ == State::Data && plusCount_ == 3)
        consider(lastDataMs_ + guardMs());
    if (ringing_)
        consider(nextRingMs_);
    return due;
}

void Modem::lineDropped(std::int64_t nowMs)
{
    advanceTo(nowMs);
    cmdLine_.clear();
    plusCount_ = 0;
    if (state_ != State::OnHook)
        setState(State::OnHook, "line dropped");
    else
        out_.events.push_back("line dropped while on-hook");
}

bool Modem::ring(std::int64_t nowMs, int node, std::string* error)
{
    advanceTo(nowMs);
    if (state_ != State::OnHook || ringing_) {
        if (error)
            *error = ringing_ ? "a call is already ringing" : std::string("the modem is busy (") + modemStateName(state_) + ")";
        return false;
    }
    ringing_ = true;
    rings_ = 0;
    callerNode_ = node;
    nextRingMs_ = nowMs + config_.ringIntervalMs;
    out_.events.push_back("ringing: call from node " + std::to_string(node));
    sendRing(nowMs);
    return true;
}

bool Modem::stopRinging()
{
    if (!ringing_)
        return false;
    ringing_ = false;
    out_.events.push_back("ringing stopped after " + std::to_string(rings_) + " rings");
    return true;
}

void Modem::addFailNumber(const std::string& number) { failNumbers_.insert(normalNumber(number)); }

std::string Modem::describe() const
{
    std::string s = std::string("mode ") + modemStateName(state_) + (ringing_ ? ", ringing" : "")
        + ", echo " + (echo_ ? "on" : "off") + ", results " + (verbose_ ? "words" : "numeric")
        + ", S0=" + std::to_string(sreg_[0]) + " S12=" + std::to_string(sreg_[12])
        + ", last dialled " + (dialled_.empty() ? "none" : dialled_ + (pulse_ ? " (pulse)" : " (tone)"))
        + ", failing numbers ";
    if (failNumbers_.empty())
        return s + "none";
    bool first = true;
    for (const auto& n : failNumbers_) {
        s += (first ? "" : ",") + n;
        first = false;
    }
    return s;
}

} // namespace gxsim
