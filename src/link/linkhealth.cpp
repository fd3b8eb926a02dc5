// Adding up a line's counts and putting them into the one-sentence summary the health read-outs show.

#include "linkhealth.h"

#include <algorithm>

namespace gx {

void LinkCounts::add(const LinkCounts& o)
{
    requests += o.requests;
    replies += o.replies;
    timeouts += o.timeouts;
    checksumFailures += o.checksumFailures;
    shortReplies += o.shortReplies;
    longReplies += o.longReplies;
    replyTimeTotal += o.replyTimeTotal;
    worstReplyTime = std::max(worstReplyTime, o.worstReplyTime);
}

QString LinkCounts::summary() const
{
    return QStringLiteral("%1 requests, %2 replies, %3 time-outs (%4 short), %5 checksum failures, %6 over-long; "
                          "reply %7 ms mean, %8 ms worst")
        .arg(requests).arg(replies).arg(timeouts).arg(shortReplies).arg(checksumFailures).arg(longReplies)
        .arg(meanReplyTime() * 1000, 0, 'f', 0).arg(worstReplyTime * 1000, 0, 'f', 0);
}

LinkCounts LinkHealth::total() const
{
    LinkCounts t;
    for (const LinkCounts& n : m_nodes)
        t.add(n);
    return t;
}

} // namespace gx
