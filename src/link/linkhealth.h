#pragma once

// How each line has answered, node by node: replies, time-outs, bad checksums, odd lengths and reply times.

#include <QString>

#include <array>

namespace gx {

// How one line (the direct line, or one RS485 node) has answered since the
// counts were last reset: requests sent, replies received, time-outs, replies
// that failed their checksum, replies shorter or longer than awaited, and the
// reply times.
struct LinkCounts {
    long requests = 0;
    long replies = 0;
    long timeouts = 0;
    long checksumFailures = 0;
    long shortReplies = 0;  // some bytes came, not all: counted among the time-outs too
    long longReplies = 0;   // more bytes than awaited (garbage before a reply)
    double replyTimeTotal = 0.0;
    double worstReplyTime = 0.0;

    double meanReplyTime() const { return replies ? replyTimeTotal / double(replies) : 0.0; }
    void add(const LinkCounts& other);
    // "120 requests, 118 replies, 2 time-outs (1 short), 0 checksum failures,
    // 0 over-long; reply 71 ms mean, 74 ms worst".
    QString summary() const;
};

class LinkHealth {
public:
    static constexpr int DirectLine = 0;  // the direct (or modem) line; nodes are 1..16
    LinkCounts& node(int index) { return m_nodes[size_t(index >= 0 && index < 17 ? index : DirectLine)]; }
    const LinkCounts& node(int index) const { return m_nodes[size_t(index >= 0 && index < 17 ? index : DirectLine)]; }
    LinkCounts total() const;
    void reset() { m_nodes = {}; }

private:
    std::array<LinkCounts, 17> m_nodes{};
};

} // namespace gx
