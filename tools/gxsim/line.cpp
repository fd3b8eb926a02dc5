// Assembling direct commands and RS485 frames from arriving bytes, and producing each controller's reply.

#include "line.h"

#include <algorithm>
#include <sstream>

namespace gxsim {

namespace {
constexpr std::uint8_t kNetStart = 0x1E, kNetEnd = 0xFE;

std::string hex2(unsigned v)
{
    static const char* d = "0123456789ABCDEF";
    std::string s = "0x";
    for (int shift = 12; shift >= 0; shift -= 4)
        s += d[(v >> shift) & 15];
    return s;
}
} // namespace

bool parseNodeList(const std::string& text, std::vector<int>& out, std::string* error)
{
    out.clear();
    std::stringstream ss(text);
    std::string part;
    while (std::getline(ss, part, ',')) {
        int lo = 0, hi = 0;
        char dash = 0;
        std::stringstream ps(part);
        if (!(ps >> lo)) {
            if (error)
                *error = "bad node list '" + text + "'";
            return false;
        }
        hi = lo;
        if (ps >> dash) {
            if (dash != '-' || !(ps >> hi)) {
                if (error)
                    *error = "bad node list '" + text + "'";
                return false;
            }
        }
        if (lo < 1 || hi > 15 || lo > hi) {
            if (error)
                *error = "node addresses are 1 to 15";
            return false;
        }
        for (int a = lo; a <= hi; ++a)
            out.push_back(a);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    if (out.empty() && error)
        *error = "empty node list";
    return !out.empty();
}

Line::Line(const Config& config)
{
    network_ = !config.nodes.empty() && config.model == Model::GX520;
    const std::vector<int> nodes = network_ ? config.nodes : std::vector<int>{1};
    for (int a : nodes)
        controllers_[a] = std::make_unique<Controller>(config.model, config.firmware, a);
}

std::vector<int> Line::addresses() const
{
    std::vector<int> out;
    for (const auto& [a, c] : controllers_)
        out.push_back(a);
    return out;
}

Controller* Line::controller(int address)
{
    auto it = controllers_.find(address);
    return it == controllers_.end() ? nullptr : it->second.get();
}

void Line::advanceTo(std::int64_t nowMs)
{
    for (auto& [a, c] : controllers_)
        c->engine().advanceTo(nowMs);
}

std::vector<Exchange> Line::feed(std::span<const std::uint8_t> bytes, std::int64_t nowMs)
{
    std::vector<Exchange> out;
    advanceTo(nowMs);
    if (rx_ != Rx::Idle) {
        const std::int64_t gap = nowMs - lastByteMs_;
        const bool stale = rx_ == Rx::NetFrame ? gap > kFrameGapMs
            : gap > (pending_.size() <= 1 ? kPayloadStartMs : kPayloadGapMs);
        if (stale) {
            Exchange e;
            e.what = "incomplete request dropped";
            e.request = pending_;
            out.push_back(std::move(e));
            pending_.clear();
            rx_ = Rx::Idle;
        }
    }
    if (!bytes.empty())
        lastByteMs_ = nowMs;

    for (std::uint8_t b : bytes) {
        switch (rx_) {
        case Rx::Idle:
            direct(b, out);
            break;
        case Rx::NetFrame:
            pending_.push_back(b);
            if (pending_.size() == 8)
                networkFrame(out);
            break;
        case Rx::Download:
        case Rx::TextDownload:
        case Rx::Pin:
            pending_.push_back(b);
            if (pending_.size() == payloadSize_ + 1)
                finishPayload(out);
            break;
        }
    }
    flushIgnored(out);
    return out;
}

void Line::flushIgnored(std::vector<Exchange>& out)
{
    if (ignored_.empty())
        return;
    Exchange e;
    e.what = "ignored";
    e.request = std::move(ignored_);
    ignored_.clear();
    out.push_back(std::move(e));
}

int Line::latestFaultCodeForLine() const
{
    const auto [node, code] = newestFaultNode();
    if (code == 0)
        return 0;
    if (!network_ || controllers_.size() == 1 || node == controllers_.begin()->first)
        return code;
    return fault::NetworkNode; // another node of the network has the fault
}

std::pair<int, int> Line::newestFaultNode() const
{
    std::pair<int, int> best{controllers_.begin()->first, 0};
    std::uint64_t serial = 0;
    for (const auto& [a, c] : controllers_) {
        const Engine& e = c->engine();
        if (e.latestFault() != 0 && e.latestFaultSerial() > serial) {
            serial = e.latestFaultSerial();
            best = {a, e.latestFault()};
        }
    }
    return best;
}

void Line::direct(std::uint8_t b, std::vector<Exchange>& out)
{
    if (b == kNetStart) {
        flushIgnored(out);
        pending_.assign(1, b);
        rx_ = Rx::NetFrame;
        return;
    }
    Controller& c = lineController();
    const auto act = [&](Command k) {
        if (c.online())
            c.engine().command(k);
    };
    Exchange e;
    e.node = c.address();
    e.request.assign(1, b);
    bool known = true;
    switch (b) {
    case 0x01:
        e.what = "status";
        e.reply = c.statusReply();
        e.checksummed = true;
        break;
    case 0x02:
        e.what = "profile upload";
        e.reply = c.profileReply();
        e.checksummed = true;
        break;
    case 0x03:
    case 0x18:
    case 0x09:
        flushIgnored(out);
        pending_.assign(1, b);
        rx_ = b == 0x03 ? Rx::Download : b == 0x18 ? Rx::TextDownload : Rx::Pin;
        payloadSize_ = b == 0x03 ? ProfileImage::kReplySize
            : b == 0x18 ? Controller::kTextDownloadSize : 2;
        return;
    case 0x04: {
        e.what = "identification";
        const std::string id = c.identification();
        if (rejectNextId_) {
            e.what += " (withheld: last download rejected)";
            rejectNextId_ = false;
        } else {
            e.reply.assign(id.begin(), id.end());
        }
        break;
    }
    case 0x06: e.what = "gen start"; act(Command::GenStart); break;
    case 0x07: e.what = "gen stop"; act(Command::GenStop); break;
    case 0x08: e.what = "fault reset"; act(Command::FaultReset); break;
    case 0x0A: e.what = "re-load"; act(Command::Reload); break;
    case 0x10: e.what = "output A"; act(Command::OutputA); break;
    case 0x11: e.what = "output B"; act(Command::OutputB); break;
    case 0x14: e.what = "remote test"; act(Command::RemoteTest); break;
    case 0x19: e.what = "MAN mode"; act(Command::ManMode); break;
    case 0x1A: e.what = "AUTO mode"; act(Command::AutoMode); break;
    case 0x1B: e.what = "manual start"; act(Command::ManStart); break;
    case 0x1C: e.what = "manual stop"; act(Command::ManStop); break;
    case 0x12: e.what = "end of session"; break;
    case 0x17:
        e.what = "profile text upload";
        e.reply = c.textReply();
        break;
    case 0x1D:
        e.what = "latest fault";
        e.reply = c.latestFaultReply(latestFaultCodeForLine());
        break;
    case 0x1F: {
        e.what = "node query";
        const auto [node, code] = newestFaultNode();
        e.reply = {std::uint8_t(network_ ? node : c.address()), std::uint8_t(code)};
        break;
    }
    default:
        known = false;
        break;
    }
    if (!known) {
        ignored_.push_back(b);
        return;
    }
    flushIgnored(out);
    if (!c.online()) {
        e.what += " (node silent)";
        e.reply.clear();
    }
    out.push_back(std::move(e));
}

void Line::networkFrame(std::vector<Exchange>& out)
{
    Bytes f = std::move(pending_);
    pending_.clear();
    rx_ = Rx::Idle;
    if (f[7] != kNetEnd) {
        // Broken frame: resynchronise on the next start byte inside it.
        auto it = std::find(f.begin() + 1, f.end(), kNetStart);
        Exchange e;
        e.what = "broken network frame dropped";
        e.request.assign(f.begin(), it);
        out.push_back(std::move(e));
        if (it != f.end()) {
            pending_.assign(it, f.end());
            rx_ = Rx::NetFrame;
        }
        return;
    }
    const int addr = f[1], fn = f[2];
    const unsigned reg = get16(&f[3]), count = get16(&f[5]);
    Exchange e;
    e.node = addr;
    e.request = f;
    if (!network_) {
        e.what = "network frame ignored (not on a network)";
        out.push_back(std::move(e));
        return;
    }
    if (fn == 5) {
        e.what = "switch " + std::to_string(reg) + (count == 0xFF00 ? " on" : count == 0 ? " off" : " (bad value)");
        if (count == 0xFF00 || count == 0) {
            for (auto& [a, c] : controllers_)
                if ((addr == 0 || addr == a) && c->online())
                    c->writeSwitch(int(reg), count == 0xFF00);
        }
        if (addr != 0 && !controller(addr))
            e.what += " (no such node)";
        else if (addr != 0 && !controller(addr)->online())
            e.what += " (node silent)";
        out.push_back(std::move(e));
        return;
    }
    Controller* c = controller(addr);
    e.what = (fn == 3 ? "read registers " : fn == 4 ? "read input registers " : "function " + std::to_string(fn) + " ")
        + hex2(reg) + " x" + std::to_string(count);
    if (!c || !c->online()) {
        e.what += c ? " (node silent)" : " (no such node)";
        out.push_back(std::move(e));
        return;
    }
    if ((fn == 3 || fn == 4) && count >= 1 && count <= 125 && reg + count <= 0x10000) {
        e.reply = {std::uint8_t(addr), std::uint8_t(fn), std::uint8_t(2 * count)};
        for (unsigned r = reg; r < reg + count; ++r)
            put16(e.reply, fn == 3 ? c->holdingRegister(int(r)) : c->inputRegister(int(r)));
    } else {
        e.what += " (not answered)";
    }
    out.push_back(std::move(e));
}

void Line::finishPayload(std::vector<Exchange>& out)
{
    Controller& c = lineController();
    const std::uint8_t cmd = pending_[0];
    Exchange e;
    e.node = c.address();
    e.request = std::move(pending_);
    pending_.clear();
    const Rx kind = rx_;
    rx_ = Rx::Idle;
    const std::span<const std::uint8_t> payload(e.request.data() + 1, e.request.size() - 1);
    if (!c.online()) {
        e.what = "payload after " + hex2(cmd) + " (node silent)";
        out.push_back(std::move(e));
        return;
    }
    if (kind == Rx::Download) {
        if (!ProfileImage::checksumMatches(payload)) {
            e.what = "profile download rejected: checksum";
            rejectNextId_ = true;
        } else if (!c.storeProfile(payload)) {
            e.what = "profile download rejected: engine not stopped";
            rejectNextId_ = true;
        } else {
            e.what = "profile download stored";
            rejectNextId_ = false;
        }
    } else if (kind == Rx::TextDownload) {
        c.storeText(payload);
        e.what = "profile text download stored";
        const std::string id = c.identification();
        e.reply.assign(id.begin(), id.end());
    } else {
        const bool ok = c.pinMatches(payload[0], payload[1]);
        e.what = ok ? "remote log-on accepted" : "remote log-on rejected";
        e.reply = {std::uint8_t(ok ? '0' : '1')};
    }
    out.push_back(std::move(e));
}

} // namespace gxsim
