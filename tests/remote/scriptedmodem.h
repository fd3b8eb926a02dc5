#pragma once

// A modem with a controller behind it, on the fake line: AT lines in command
// mode (word or numeric results by V0/V1), dialling, "+++" and ATH0, and in
// data mode the controller's direct replies a call needs.

#include "linkfixture.h"

#include "link/protocol.h"

namespace gx::test {

struct ScriptedModem {
    FakeSerialPort& port;
    FakeClock& clock;
    bool answersInit = true;
    bool connects = true;
    double connectAfter = 5.0;
    QByteArray pinReply = "0";
    QString id = QStringLiteral("GX520 V2.01     ");
    int fault = 17;                // latest fault code
    int faultNode = 12, nodeFault = 23;  // the 0x1F reply
    bool data = false;
    bool numeric = false;
    QStringList lines;            // every AT line received
    QByteArray cmd;
    int pluses = 0;

    ScriptedModem(FakeSerialPort& p, FakeClock& c) : port(p), clock(c)
    {
        port.responder = [this](const QByteArray& w) { onWrite(w); };
    }

    // As a real modem sends them: a byte at a time, about 1 ms apart at 9600 baud.
    void paced(double delay, const QByteArray& text)
    {
        for (int i = 0; i < text.size(); ++i)
            port.feedLater(delay + 0.00104 * i, text.mid(i, 1));
    }
    void result(const char* word, int code)
    {
        paced(0.05, numeric ? QByteArray::number(code) + '\r' : QByteArray("\r\n") + word + "\r\n");
    }

    void onWrite(const QByteArray& w)
    {
        if (data) {
            if (w == "+") {
                if (++pluses == 3) {
                    data = false;
                    pluses = 0;
                    result("OK", 0);
                }
                return;
            }
            pluses = 0;
            controller(w);
            return;
        }
        cmd += w;
        qsizetype cr;
        while ((cr = cmd.indexOf('\r')) >= 0) {
            QByteArray line = cmd.left(cr).trimmed();
            cmd.remove(0, cr + 1);
            if (line.isEmpty())
                continue;
            lines << QString::fromLatin1(line);
            if (line.contains("V0"))
                numeric = true;
            if (line.startsWith("ATD")) {
                if (connects)
                    clock.scheduleIn(connectAfter, [this] {
                        data = true;
                        result("CONNECT", 1);
                    });
                continue;
            }
            if (line == "ATA") {
                data = true;
                result("CONNECT", 1);
                continue;
            }
            if (answersInit)
                result("OK", 0);
        }
    }

    void controller(const QByteArray& w)
    {
        if (pinsLeft > 0) {  // the two PIN bytes after 0x09, whatever their values
            if (--pinsLeft == 0) {
                pins = 2;
                port.feedLater(0.1, pinReply);
            }
            return;
        }
        switch (w[0]) {
        case cmd::RemoteLogOn:
            pinsLeft = 2;
            pins = 0;
            return;
        case cmd::Identify: port.feedLater(0.02, id.toLatin1()); return;
        case cmd::ProfileUpload: {
            QByteArray image(310, '\0');
            image.replace(128 + 48, 16, "Caller site     ");
            port.feedLater(0.33, withChecksum(image));
            return;
        }
        case cmd::Status: {
            QByteArray s(65, '\0');
            s[0] = char(fault);
            s[40] = 0x12;  // hours run 001234.56
            s[39] = 0x34;
            s[38] = 0x56;
            port.feedLater(0.07, withChecksum(s));
            return;
        }
        case cmd::LatestFault: port.feedLater(0.02, QByteArray("Caller site     ") + char(fault) + char(0)); return;
        case cmd::NodeQuery: port.feedLater(0.02, QByteArray().append(char(faultNode)).append(char(nodeFault))); return;
        default:
            return;
        }
    }
    int pinsLeft = 0;
    int pins = 0;  // 2 once a log-on request is complete
};

} // namespace gx::test
