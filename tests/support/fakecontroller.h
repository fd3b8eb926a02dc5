#pragma once

// A controller on the fake line, optionally behind a Hayes modem, that keeps
// count of everything it is sent: the direct framing (identification, status,
// profile and notes both ways, log-on, latest fault, node query, control
// bytes), the RS485 framing of its nodes, and AT lines with calls both ways.
// Replies and modem results arrive at the line's pace, a byte about every
// millisecond, as the field's lines deliver them. Whatever reaches it in the
// middle of a message becomes part of that message, as on a real line: a
// download with a foreign byte inside fails its checksum and is not stored.

#include "linkfixture.h"

#include "link/protocol.h"

#include <QStringList>

namespace gx::test {

struct FakeController {
    FakeSerialPort& port;
    FakeClock& clock;

    // The controller.
    QString id = QStringLiteral("GX520 V2.01     ");
    int state = 0;  // 0 stopped
    int fault = 17;
    QByteArray profile;  // the 310-byte image it holds
    QByteArray notes = QByteArray(1023, ' ');
    QByteArray pin = QByteArrayLiteral("\x12\x34");
    QList<int> nodes;  // RS485 nodes that answer; empty: not on a network
    // Requests it hears but leaves unanswered: "identify", "status", "notes",
    // and the confirmations "profile stored" and "notes stored".
    QStringList silent;

    // The modem in front of it, when there is one.
    bool modem = false;
    bool data = true;  // bytes reach the controller
    bool numeric = false;
    bool ringing = false;

    // What happened.
    QStringList requests;  // one word per request, in order
    int broken = 0;        // requests that arrived inside another message, or made no sense
    int profilesStored = 0, notesStored = 0, logOns = 0;

    FakeController(FakeSerialPort& p, FakeClock& c, const QByteArray& image) : port(p), clock(c), profile(image)
    {
        port.responder = [this](const QByteArray& w) { onWrite(w); };
        port.onClose = [this] { lineDropped(); };
    }

    // A modem between the port and the controller, on-hook.
    void behindModem()
    {
        modem = true;
        data = false;
    }
    // An incoming call: RING now and every 3 s until answered.
    void call()
    {
        ringing = true;
        ring();
    }

    void send(double delay, const QByteArray& text)
    {
        // Replies and results cross the line a byte at a time.
        for (int i = 0; i < text.size(); ++i)
            port.feedLater(delay + 0.00104 * i, text.mid(i, 1));
    }

private:
    enum class Rx { Idle, Image, Text, Pin, Frame } rx = Rx::Idle;
    QByteArray payload;
    double lastByte = 0;
    QByteArray line;
    int pluses = 0;
    bool rejectNextId = false;
    bool confirmPending = false;
    static constexpr double storeTime = 3.0;  // to store a profile or its notes

    void result(const char* word, int code)
    {
        send(0.02, numeric ? QByteArray::number(code) + '\r' : QByteArray("\r\n") + word + "\r\n");
    }
    void ring()
    {
        if (!ringing || data)
            return;
        result("RING", 2);
        clock.scheduleIn(3.0, [this] { ring(); });
    }
    void lineDropped()
    {
        // Closing the port drops DTR: the modem hangs up.
        if (modem)
            data = false;
        rx = Rx::Idle;
        line.clear();
    }

    void onWrite(const QByteArray& w)
    {
        for (char c : w) {
            if (modem && !data)
                commandByte(c);
            else
                controllerByte(quint8(c), w.size());
        }
    }

    void commandByte(char c)
    {
        if (c == '\n')
            return;
        if (c != '\r') {
            line += c;
            return;
        }
        const QByteArray l = line.trimmed().toUpper();
        line.clear();
        if (l.isEmpty())
            return;
        requests << QStringLiteral("AT:") + QString::fromLatin1(l);
        if (!l.startsWith("AT")) {
            result("ERROR", 4);
            return;
        }
        if (l.contains("V0"))
            numeric = true;
        if (l.startsWith("ATD")) {
            clock.scheduleIn(2.0, [this] {
                data = true;
                result("CONNECT", 1);
            });
            return;
        }
        if (l == "ATA") {
            if (!ringing) {
                result("NO CARRIER", 3);
                return;
            }
            ringing = false;
            clock.scheduleIn(0.5, [this] {
                data = true;
                result("CONNECT", 1);
            });
            return;
        }
        result("OK", 0);
    }

    void controllerByte(quint8 b, qsizetype writeSize)
    {
        if (modem && b == '+' && writeSize == 1 && rx == Rx::Idle) {
            // The escape: three lone pluses return the modem to command mode.
            if (++pluses == 3) {
                pluses = 0;
                data = false;
                result("OK", 0);
            }
            return;
        }
        pluses = 0;
        const double now = clock.now();
        if (rx != Rx::Idle && now - lastByte > 5.0) {
            ++broken;  // a message that stopped coming
            rx = Rx::Idle;
        }
        lastByte = now;
        if (rx != Rx::Idle) {
            payload += char(b);
            finishPayload();
            return;
        }
        switch (b) {
        case cmd::Status: {
            requests << QStringLiteral("status");
            // Firmware 1.0 and 1.01 send 65 bytes, later ones 67, each with its checksum.
            QByteArray s(id.contains(QLatin1String("V1.0 ")) || id.contains(QLatin1String("V1.01")) ? 63 : 65, '\0');
            s[0] = char(fault);
            s[1] = char(state);
            s[40] = 0x12;
            if (!silent.contains(QStringLiteral("status")))
                send(0.003, withChecksum(s));
            return;
        }
        case cmd::ProfileUpload:
            requests << QStringLiteral("profile");
            send(0.003, withChecksum(profile));
            return;
        case cmd::Identify:
            requests << QStringLiteral("identify");
            // After an image the controller answers once it has stored it.
            if (!rejectNextId && !silent.contains(confirmPending ? QStringLiteral("profile stored") : QStringLiteral("identify")))
                send(confirmPending ? storeTime : 0.003, id.toLatin1());
            rejectNextId = false;
            confirmPending = false;
            return;
        case cmd::TextUpload:
            requests << QStringLiteral("notes");
            if (!silent.contains(QStringLiteral("notes")))
                send(0.003, notes);
            return;
        case cmd::ProfileDownload:
        case cmd::TextDownload:
        case cmd::RemoteLogOn:
            requests << (b == cmd::ProfileDownload ? QStringLiteral("download") : b == cmd::TextDownload ? QStringLiteral("notes download") : QStringLiteral("log-on"));
            rx = b == cmd::ProfileDownload ? Rx::Image : b == cmd::TextDownload ? Rx::Text : Rx::Pin;
            payload.clear();
            return;
        case cmd::LatestFault:
            requests << QStringLiteral("latest fault");
            send(0.003, QByteArray("Sim site        ") + char(fault) + char(state));
            return;
        case cmd::NodeQuery:
            requests << QStringLiteral("node query");
            send(0.003, QByteArray("\x02\x11", 2));
            return;
        case cmd::Goodbye:
            requests << QStringLiteral("goodbye");
            return;
        case net::Start:
            rx = Rx::Frame;
            payload = QByteArray(1, char(b));
            return;
        default:
            if (b == cmd::GenStart || b == cmd::GenStop || b == cmd::FaultReset || b == cmd::Reload || b == cmd::OutputA
                || b == cmd::OutputB || b == cmd::RemoteTest || (b >= cmd::ManMode && b <= cmd::ManualStop)) {
                requests << QStringLiteral("command %1").arg(b, 2, 16, QLatin1Char('0'));
                return;
            }
            requests << QStringLiteral("junk %1").arg(b, 2, 16, QLatin1Char('0'));
            ++broken;
        }
    }

    void finishPayload()
    {
        const int want = rx == Rx::Image ? 312 : rx == Rx::Text ? 1025 : rx == Rx::Pin ? 2 : 8;
        if (payload.size() < want)
            return;
        const Rx kind = rx;
        rx = Rx::Idle;
        if (kind == Rx::Image) {
            const bool ok = checksumMatches(payload, ProfileImageBytes);
            if (ok) {
                profile = payload.left(ProfileImageBytes);
                ++profilesStored;
            } else {
                ++broken;
            }
            rejectNextId = !ok;
            confirmPending = ok;
        } else if (kind == Rx::Text) {
            notes = payload.left(1023);
            ++notesStored;
            if (!silent.contains(QStringLiteral("notes stored")))
                send(storeTime, id.toLatin1());
        } else if (kind == Rx::Pin) {
            const bool ok = payload == pin;
            logOns += ok;
            send(0.05, ok ? "0" : "1");
        } else {
            networkFrame(payload);
        }
    }

    void networkFrame(const QByteArray& f)
    {
        if (f.size() != 8 || quint8(f[7]) != net::End) {
            ++broken;
            return;
        }
        const int node = quint8(f[1]), function = quint8(f[2]);
        const int first = quint8(f[3]) * 256 + quint8(f[4]), count = quint8(f[5]) * 256 + quint8(f[6]);
        requests << QStringLiteral("node %1 function %2 register %3").arg(node).arg(function).arg(first);
        if (!nodes.contains(node) || function == net::WriteSwitch)
            return;
        QByteArray r(3 + 2 * count, '\0');
        r[0] = char(node);
        r[1] = char(function);
        r[2] = char(2 * count);
        if (function == net::ReadRegisters && first == 0x00DC)
            for (int k = 0; k < 16 && k < count; ++k)
                r[3 + 2 * k + 1] = id.toLatin1().at(k);
        send(0.003, r);
    }

    static constexpr int ProfileImageBytes = 310;
};

} // namespace gx::test
