// Building RS485 request frames, and the byte sums and two-byte checksums that replies and downloads carry.

#include "protocol.h"

namespace gx {

namespace net {

QByteArray frame(int address, int function, int first, int count)
{
    QByteArray f(8, '\0');
    f[0] = char(Start);
    f[1] = char(address & 0xFF);
    f[2] = char(function & 0xFF);
    f[3] = char((first >> 8) & 0xFF);
    f[4] = char(first & 0xFF);
    f[5] = char((count >> 8) & 0xFF);
    f[6] = char(count & 0xFF);
    f[7] = char(End);
    return f;
}

QByteArray readFrame(int address, int firstRegister, int registers)
{
    return frame(address, ReadRegisters, firstRegister, registers);
}

QByteArray readInputFrame(int address, int firstRegister, int registers)
{
    return frame(address, ReadInputRegisters, firstRegister, registers);
}

QByteArray switchFrame(int address, int switchNumber)
{
    return frame(address, WriteSwitch, switchNumber, 0xFF00);
}

} // namespace net

unsigned long byteSum(const QByteArray& bytes, int from, int count)
{
    unsigned long sum = 0;
    for (int i = from; i < from + count && i < bytes.size(); ++i)
        sum += static_cast<unsigned char>(bytes[i]);
    return sum;
}

unsigned receivedChecksum(const QByteArray& bytes, int at)
{
    if (at + 1 >= bytes.size())
        return 0;
    return static_cast<unsigned char>(bytes[at]) * 256u + static_cast<unsigned char>(bytes[at + 1]);
}

bool checksumMatches(const QByteArray& reply, int dataLength)
{
    if (reply.size() < dataLength + 2)
        return false;
    return byteSum(reply, 0, dataLength) == receivedChecksum(reply, dataLength);
}

QByteArray checksumBytes(unsigned long sum)
{
    QByteArray b(2, '\0');
    b[0] = char((sum / 256) & 0xFF);
    b[1] = char(sum % 256);
    return b;
}

} // namespace gx
