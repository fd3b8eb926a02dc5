// Asking a controller for its status: the one-shot upload the download and the
// call log use, and the fetch at the start of every live-monitor poll.

#include "link.h"

#include "platform/serialport.h"
#include "platform/waiter.h"

namespace gx {

namespace {
constexpr int OneShotFailuresAllowed = 10; // eleven attempts in all
constexpr int MonitorAttempts = 5;
constexpr int NetworkStatusRegisters = 21;
constexpr int NetworkStatusLength = net::ReplyHeader + 2 * NetworkStatusRegisters; // 45
} // namespace

int Link::statusReplyLength() const
{
    // Firmware 1.0 and 1.01 send the short reply. A version the program does not
    // know is taken to be a later one, which sends the long reply.
    if (FirmVersion == 1.0 || FirmVersion == 1.01)
        return replylen::StatusShort;
    return replylen::StatusLong;
}

void Link::updateStatus()
{
    const int length = statusReplyLength();
    int failures = 0;
    StatusValid = false;
    while (!StatusValid && failures <= OneShotFailuresAllowed && !waiter.closing()) {
        if (!exchange(SerialPort::BinaryMode, length, StatusGot, QByteArray(1, cmd::Status),
                      timeout::StatusOneShot)
            || !checksumOk(StatusReply, length - 2))
            ++failures;
        else
            StatusValid = true;
    }
}

bool Link::statusAttemptDirect()
{
    const int length = statusReplyLength();
    // The input mode is left as the profile upload that started monitoring set it.
    MSComm1.discardInput();
    MSComm1.setRThreshold(length);
    StatusGot = false;
    StatusValid = false;
    send(QByteArray(1, cmd::Status));
    if (!waitFor(StatusGot, timeout::StatusMonitorDirect))
        return false;
    // A reply that came is copied whether or not its checksum then matches.
    const int data = length - 2;
    for (int i = 0; i < data && i < StatusReply.size(); ++i)
        StatusImage[size_t(i)] = uint8_t(StatusReply[i]);
    return checksumOk(StatusReply, data);
}

bool Link::statusAttemptNetwork()
{
    if (Address < 0 || Address >= int(NodeStatus.size()))
        return false;
    auto& node = NodeStatus[size_t(Address)];
    auto byteAt = [this](int i) { return i < NetReply.size() ? uint8_t(NetReply[i]) : uint8_t(0); };

    if (!exchange(SerialPort::BinaryMode, NetworkStatusLength, GotPacket,
                  net::readInputFrame(Address, 0, NetworkStatusRegisters), timeout::StatusMonitorNetwork))
        return false;
    for (int k = 0; k < NetworkStatusRegisters; ++k)
        node[size_t(k)] = byteAt(net::ReplyHeader + 1 + 2 * k); // low byte of register k

    if (!exchange(SerialPort::BinaryMode, NetworkStatusLength, GotPacket,
                  net::readInputFrame(Address, 22, NetworkStatusRegisters), timeout::StatusMonitorNetwork))
        return false;
    for (int k = 0; k < 2 * NetworkStatusRegisters; ++k)
        node[size_t(23 + k)] = byteAt(net::ReplyHeader + k); // both bytes of registers 22..42

    for (int k = 0; k <= 66; ++k)
        StatusImage[size_t(k)] = node[size_t(k)];
    return true;
}

bool Link::upload_fault_status(int& FaultReg)
{
    if (!exchange(SerialPort::BinaryMode, replylen::LatestFault, GotLatestFault, QByteArray(1, cmd::LatestFault),
                  timeout::LatestFault, Discard::No))
        return false;
    if (FaultReply.size() > 16)
        FaultReg = uint8_t(FaultReply[16]);
    return true;
}

Link::Fetch Link::fetchMonitorStatus(const bool& keepGoing)
{
    StatusValid = false;
    for (Retry = 0; Retry < MonitorAttempts;) {
        // A port lost earlier (an adapter pulled out and put back) is opened again.
        const bool open = ensureOpen();
        if (open && (NetworkMode ? statusAttemptNetwork() : statusAttemptDirect())) {
            StatusValid = true;
            return Fetch::Ok;
        }
        ++Retry;
        if (!keepGoing || waiter.closing())
            return Fetch::Abandoned;
        if (!open)
            waiter.pause(timeout::StatusMonitorNetwork); // no port: nothing to wait for but time
    }
    return Fetch::Failed;
}

} // namespace gx
