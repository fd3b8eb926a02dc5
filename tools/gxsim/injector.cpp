// Parsing fault injections and applying them to replies: dropped, late, split, a bad checksum, garbage first.

#include "injector.h"

#include <cstdlib>

namespace gxsim {

namespace {
bool toInt(const std::string& s, int& out)
{
    char* end = nullptr;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end || v < 0 || v > 1000000)
        return false;
    out = int(v);
    return true;
}
} // namespace

std::string Injection::describe() const
{
    std::string s;
    switch (kind) {
    case Drop: s = "drop"; break;
    case Late: s = "late " + std::to_string(a); break;
    case Split: s = "split " + std::to_string(a) + " " + std::to_string(b); break;
    case BadSum: s = "badsum"; break;
    case Garbage: s = "garbage " + std::to_string(a); break;
    }
    return s + (remaining < 0 ? " always" : " " + std::to_string(remaining));
}

std::optional<Injection> Injector::parse(const std::vector<std::string>& w, std::string* error)
{
    auto fail = [&](const std::string& m) {
        if (error)
            *error = m;
        return std::optional<Injection>{};
    };
    if (w.empty())
        return fail("missing injection kind");
    Injection i;
    std::size_t next = 1;
    const std::string& k = w[0];
    if (k == "drop") {
        i.kind = Injection::Drop;
    } else if (k == "badsum") {
        i.kind = Injection::BadSum;
    } else if (k == "late" || k == "garbage") {
        i.kind = k == "late" ? Injection::Late : Injection::Garbage;
        if (w.size() < 2 || !toInt(w[1], i.a) || (i.kind == Injection::Garbage && i.a == 0))
            return fail(k == "late" ? "usage: late MS [COUNT|always]" : "usage: garbage N [COUNT|always]");
        next = 2;
    } else if (k == "split") {
        i.kind = Injection::Split;
        if (w.size() < 3 || !toInt(w[1], i.a) || !toInt(w[2], i.b) || i.a < 2)
            return fail("usage: split PIECES GAP_MS [COUNT|always] (PIECES >= 2)");
        next = 3;
    } else {
        return fail("unknown injection '" + k + "'");
    }
    if (w.size() > next) {
        if (w[next] == "always")
            i.remaining = -1;
        else if (!toInt(w[next], i.remaining) || i.remaining == 0)
            return fail("count must be a positive number or 'always'");
        ++next;
    }
    if (w.size() > next)
        return fail("too many words");
    return i;
}

std::string Injector::describe() const
{
    if (active_.empty())
        return "none";
    std::string s;
    for (const auto& i : active_)
        s += (s.empty() ? "" : ", ") + i.describe();
    return s;
}

std::vector<Chunk> Injector::apply(const Exchange& e, std::string* applied)
{
    std::vector<Chunk> chunks{{0, e.reply}};
    if (e.reply.empty())
        return {};
    std::string what;
    bool dropped = false;
    for (auto& i : active_) {
        if (i.remaining == 0 || (i.kind == Injection::BadSum && !e.checksummed))
            continue;
        if (i.remaining > 0)
            --i.remaining;
        what += (what.empty() ? "" : ", ") + i.describe().substr(0, i.describe().rfind(' '));
        switch (i.kind) {
        case Injection::Drop:
            dropped = true;
            break;
        case Injection::Late:
            chunks.front().delayMs += i.a;
            break;
        case Injection::BadSum: {
            Bytes& last = chunks.back().bytes;
            last.back() = std::uint8_t(last.back() ^ 0x5A);
            break;
        }
        case Injection::Garbage: {
            Bytes g(std::size_t(i.a));
            for (auto& x : g)
                x = std::uint8_t(rng_() & 0xFF);
            chunks.front().bytes.insert(chunks.front().bytes.begin(), g.begin(), g.end());
            break;
        }
        case Injection::Split: {
            Bytes all;
            for (const auto& c : chunks)
                all.insert(all.end(), c.bytes.begin(), c.bytes.end());
            const std::int64_t start = chunks.front().delayMs;
            const std::size_t pieces = std::min<std::size_t>(std::size_t(i.a), all.size());
            chunks.clear();
            std::size_t from = 0;
            for (std::size_t p = 0; p < pieces; ++p) {
                const std::size_t to = all.size() * (p + 1) / pieces;
                chunks.push_back({p == 0 ? start : std::int64_t(i.b), Bytes(all.begin() + from, all.begin() + to)});
                from = to;
            }
            break;
        }
        }
    }
    std::erase_if(active_, [](const Injection& i) { return i.remaining == 0; });
    if (applied)
        *applied = what;
    if (dropped)
        return {};
    return chunks;
}

} // namespace gxsim
