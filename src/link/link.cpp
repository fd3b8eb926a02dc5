// The link's core: opening the chosen port, filing replies into their buffers, the exchange, its waits and counts.

#include "link.h"

#include "statussink.h"

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/serialport.h"
#include "platform/settingsstore.h"
#include "platform/waiter.h"

namespace gx {

Link::Link(const Platform& p, QObject* parent)
    : QObject(parent), MSComm1(p.port), waiter(p.waiter), settings(p.settings), dialogs(p.dialogs),
      status(p.status)
{
    connect(&MSComm1, &SerialPort::onComm, this, &Link::MSComm1_OnComm);
    connect(&MSComm1, &SerialPort::portLost, this, &Link::portLost);
}

void Link::openCommunications()
{
    PortOpenError = false;
    if (MSComm1.portOpen())
        MSComm1.setPortOpen(false);
    usage = settings.setting(QStringLiteral("use"));
    LocalPort = settings.setting(QStringLiteral("CurrentPort"));
    MODEMport = settings.setting(QStringLiteral("CurrentModemPort"));
    if (numericValue(LocalPort) > 0 && usage == QLatin1String("local")) {
        MSComm1.setCommPort(numericValue(LocalPort));
        MSComm1.setHandshaking(SerialPort::NoHandshake);
    } else if (numericValue(MODEMport) > 0 && usage == QLatin1String("remote")) {
        MSComm1.setCommPort(numericValue(MODEMport));
        MSComm1.setHandshaking(SerialPort::RtsCts);
    } else {
        emit settingsDialogRequested();
        return;
    }
    if (!MSComm1.setPortOpen(true)) {
        PortOpenError = true;
        dialogs.inform(cantOpenMessage(MSComm1.commPort(), MSComm1.openFailure()), QStringLiteral("GX510-520"));
        emit settingsDialogRequested();
    }
}

void Link::MSComm1_OnComm()
{
    if (MSComm1.commEvent() != SerialPort::comEvReceive)
        return;
    const int threshold = MSComm1.rThreshold();
    if (NetworkMode) {
        NetReply = MSComm1.input();
        m_replySize = int(NetReply.size());
        if (threshold == replylen::NetQuickStatus)
            GotQuickStatus = true;
        else if (threshold == replylen::NetIdentification)
            GotID = true;
        else
            GotPacket = true;
        return;
    }
    m_replySize = MSComm1.inBufferCount();
    switch (threshold) {
    case replylen::Profile:
        ProfileReply = MSComm1.input();
        GotProfile = true;
        break;
    case replylen::Identification:
        ID = QString::fromLatin1(MSComm1.input());
        GotID = true;
        break;
    case replylen::StatusLong:
    case replylen::StatusShort:
        StatusReply = MSComm1.input();
        StatusGot = true;
        break;
    case replylen::ProfileText:
        TextReply = MSComm1.input();
        GotText = true;
        break;
    case replylen::ModemText:
        modemLines.append(MSComm1.input());
        if (modemLines.hasLine())
            gotMODEMrx = true;
        break;
    case replylen::NodeQuery:
    case replylen::LatestFault:
        FaultReply = MSComm1.input();
        GotLatestFault = true;
        break;
    default:
        break;
    }
}

bool Link::takeModemResponse()
{
    if (!modemLines.hasLine()) {
        gotMODEMrx = false;
        return false;
    }
    MODEMresponse = modemLines.takeLine();
    gotMODEMrx = modemLines.hasLine();
    return true;
}

bool Link::exchange(int inputMode, int threshold, bool& flag, const QByteArray& request, double timeout,
                    Discard discard)
{
    MSComm1.setInputMode(inputMode);
    if (discard == Discard::Yes)
        MSComm1.discardInput();
    MSComm1.setRThreshold(threshold);
    flag = false;
    send(request);
    return waitFor(flag, timeout);
}

void Link::settleLine()
{
    constexpr double Quiet = 0.02;   // about twenty bytes' time without a byte
    constexpr double Longest = 1.0;  // a line that never goes quiet is not waited on longer
    m_lineUnsettled = false;
    const int threshold = MSComm1.rThreshold();
    MSComm1.setRThreshold(0);  // every byte as it comes, and no receive event
    const double start = waiter.clock().now();
    for (;;) {
        MSComm1.takeWaiting();
        const int seen = MSComm1.inBufferCount();
        waiter.waitUntil([&] { return MSComm1.inBufferCount() != seen; }, Quiet);
        if (MSComm1.inBufferCount() == seen || waiter.closing() || waiter.clock().now() - start >= Longest)
            break;
    }
    MSComm1.discardInput();
    MSComm1.setRThreshold(threshold);
}

void Link::send(const QByteArray& request)
{
    if (waiter.closing())
        return;  // a loop on its way out sends nothing more
    if (m_lineUnsettled)
        settleLine();
    ++health.node(healthNode()).requests;
    m_requestPending = true;
    m_requestSent = waiter.clock().now();
    m_replySize = 0;
    MSComm1.output(request);
}

bool Link::waitFor(const bool& flag, double timeout)
{
    const bool got = waiter.waitUntil([&flag] { return flag; }, timeout);
    if (m_requestPending && !waiter.closing()) {
        m_requestPending = false;
        LinkCounts& c = health.node(healthNode());
        if (got) {
            const double t = waiter.clock().now() - m_requestSent;
            ++c.replies;
            c.replyTimeTotal += t;
            c.worstReplyTime = std::max(c.worstReplyTime, t);
            if (m_replySize > MSComm1.rThreshold()) {
                ++c.longReplies;
                m_lineUnsettled = true;
            }
        } else {
            ++c.timeouts;
            MSComm1.takeWaiting();
            if (MSComm1.inBufferCount() > 0) {
                ++c.shortReplies;
                m_lineUnsettled = true;
            }
        }
    }
    if (!got)
        MSComm1.checkAlive(); // a silent line may be a vanished adapter
    return got;
}

bool Link::checksumOk(const QByteArray& reply, int dataLength)
{
    const bool ok = checksumMatches(reply, dataLength);
    if (!ok) {
        ++health.node(healthNode()).checksumFailures;
        m_lineUnsettled = true;
    }
    return ok;
}

void Link::pause(double seconds)
{
    waiter.pause(seconds);
}

bool Link::ensureOpen()
{
    if (MSComm1.portOpen())
        return true;
    return MSComm1.setPortOpen(true);
}

} // namespace gx
