#pragma once

// Fault injection on the replies: no reply, a late reply, a reply split into
// pieces with gaps, a corrupted checksum, garbage bytes before a reply. Each
// injection applies to a number of replies (or to all of them) and then ends.

#include "line.h"

#include <optional>
#include <random>
#include <string>
#include <vector>

namespace gxsim {

// A piece of a reply and the pause before it: for the first piece counted from
// when the reply is ready, for later ones from the end of the previous piece.
struct Chunk {
    std::int64_t delayMs = 0;
    Bytes bytes;
};

struct Injection {
    enum Kind { Drop, Late, Split, BadSum, Garbage } kind = Drop;
    int a = 0;          // late: ms; split: pieces; garbage: byte count
    int b = 0;          // split: gap ms
    int remaining = 1;  // replies still to affect; -1 for every reply
    std::string describe() const;
};

class Injector {
public:
    // Words as typed: "late 800", "split 3 20 always", "badsum 2", "garbage 5".
    static std::optional<Injection> parse(const std::vector<std::string>& words, std::string* error);

    void add(const Injection& i) { active_.push_back(i); }
    void clear() { active_.clear(); }
    bool empty() const { return active_.empty(); }
    std::string describe() const;

    // The pieces to write for a reply, after the active injections had their
    // way. No pieces means the reply is withheld. `applied` lists what acted.
    std::vector<Chunk> apply(const Exchange& e, std::string* applied = nullptr);

private:
    std::vector<Injection> active_;
    std::minstd_rand rng_{12345};
};

} // namespace gxsim
