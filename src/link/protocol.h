#pragma once

// The controller protocol's fixed numbers: command bytes of the direct framing,
// reply lengths, the network frame, and the time-outs and retries of each exchange.

#include <QByteArray>

namespace gx {

namespace cmd {
constexpr char Status = 0x01;
constexpr char ProfileUpload = 0x02;
constexpr char ProfileDownload = 0x03;
constexpr char Identify = 0x04;
constexpr char GenStart = 0x06;
constexpr char GenStop = 0x07;
constexpr char FaultReset = 0x08;
constexpr char RemoteLogOn = 0x09;
constexpr char Reload = 0x0A;
constexpr char OutputA = 0x10;
constexpr char OutputB = 0x11;
constexpr char Goodbye = 0x12; // sent when the program ends or the user declines to exit
constexpr char RemoteTest = 0x14;
constexpr char TextUpload = 0x17;
constexpr char TextDownload = 0x18;
constexpr char ManMode = 0x19;
constexpr char AutoMode = 0x1A;
constexpr char ManualStart = 0x1B;
constexpr char ManualStop = 0x1C;
constexpr char LatestFault = 0x1D;
constexpr char NodeQuery = 0x1F;
} // namespace cmd

namespace replylen {
constexpr int Identification = 16;
constexpr int Profile = 312;
constexpr int StatusShort = 65; // firmware 1.0 and 1.01
constexpr int StatusLong = 67;
constexpr int ProfileText = 1023;
constexpr int LatestFault = 18;
constexpr int NodeQuery = 2;
constexpr int ModemText = 1;
constexpr int NetQuickStatus = 7;
constexpr int NetIdentification = 35;
} // namespace replylen

namespace timeout {
constexpr double Identification = 2.0;
constexpr double ProfileLocal = 2.0;
constexpr double ProfileNetworkBlock = 1.0;
constexpr double ProfileText = 5.0;
constexpr double StatusOneShot = 2.0;
constexpr double StatusMonitorDirect = 3.0;
constexpr double StatusMonitorNetwork = 1.0;
constexpr double LatestFault = 2.0;
constexpr double QuickStatus = 2.0;
constexpr double NodeProbe = 1.0;
constexpr double DownloadConfirm = 40.0;
} // namespace timeout

// The RS485 framing: every request is 8 bytes, 0x1E address function
// register(MSB, LSB) count(MSB, LSB) 0xFE. Read replies carry three leading
// bytes, then the registers, two bytes each, most significant first.
namespace net {
constexpr unsigned char Start = 0x1E;
constexpr unsigned char End = 0xFE;
constexpr unsigned char ReadRegisters = 0x03;
constexpr unsigned char ReadInputRegisters = 0x04;
constexpr unsigned char WriteSwitch = 0x05;
constexpr int ReplyHeader = 3;

QByteArray frame(int address, int function, int first, int count);
QByteArray readFrame(int address, int firstRegister, int registers);
QByteArray readInputFrame(int address, int firstRegister, int registers);
// Switch on: value 0xFF 0x00.
QByteArray switchFrame(int address, int switchNumber);
constexpr int readReplyLength(int registers) { return ReplyHeader + 2 * registers; }
} // namespace net

// Checksums are plain unsigned sums of the covered bytes, carried after them as
// two bytes, most significant first. A sum above 65535 can never match.
unsigned long byteSum(const QByteArray& bytes, int from, int count);
unsigned receivedChecksum(const QByteArray& bytes, int at);
bool checksumMatches(const QByteArray& reply, int dataLength);
// The two bytes the program sends after data it checksums.
QByteArray checksumBytes(unsigned long sum);

} // namespace gx
