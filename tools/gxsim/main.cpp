// gxsim: GX510/GX520 generator-set controllers on a pseudo-terminal, alone or
// as an RS485 network, for the tests and for trying the program without
// hardware.

#include "console.h"
#include "injector.h"
#include "line.h"
#include "modem.h"
#include "ptyserver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QSettings>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

using namespace gxsim;

namespace {

const char* kHelp = R"(Usage: gxsim [options]

Simulates GX510/GX520 generator-set controllers on a Linux pseudo-terminal,
optionally behind a Hayes-compatible modem, and optionally on a TCP port of
the loopback address as well. The first line printed on standard output is
the terminal's path (for example /dev/pts/5); open it at 9600 baud 8N1. With
--tcp the second line, printed at once after it, is "tcp 127.0.0.1:PORT"
with the port actually listened on (e.g. "tcp 127.0.0.1:40123" for --tcp 0).
Standard input takes run-time commands, one per line, each answered with one
line on standard output after those; the end of standard input ends the
simulator (keep it open, e.g. `sleep infinity | gxsim`).

Options:
  --model GX510|GX520   controller model (default GX520)
  --firmware V          firmware version in the identification (default 2.01);
                        1.0 and 1.01 send the 65-byte status, others 67 bytes
  --nodes LIST          an RS485 network of GX520 controllers at these
                        addresses (1..15), e.g. 1,2,5 or 1-3. Without it a
                        single controller (address 1) that answers only the
                        direct framing and stays silent to network frames.
  --fast                no 9600-baud pacing and no turnaround delay: replies
                        and modem results arrive in one piece, which no real
                        line does (for tests that need speed only)
  --byte-gap MS         extra silence of MS milliseconds (fractions allowed,
                        up to 1000) between the bytes of every reply and modem
                        result, as a slow or busy sender leaves
  --com N               record the terminal's path in the settings store as
                        COM N (section "Ports", key "COMN" of the GX520 INI
                        settings, honouring XDG_CONFIG_HOME); the previous
                        value is put back on exit (quit, end of input,
                        SIGINT, SIGTERM)
  --trace FILE          append every frame received and sent, in hex with a
                        timestamp, to FILE; also TCP connects and disconnects
                        (TCP frames marked "tcp"), the terminal closing and
                        opening, and with --modem every AT line received
                        (CR, LF and other control bytes shown as <CR>, <LF>,
                        <1B>), every result sent and every mode change
  --modem               a Hayes-compatible modem in front of the terminal
                        (see "Modem" below); the controllers answer only once
                        a call is connected
  --dial-delay MS       time from ATD to CONNECT or NO CARRIER (default 2000,
                        200 with --fast); needs --modem
  --fail-number NUMBER  dialling NUMBER ends in NO CARRIER; may be repeated;
                        needs --modem
  --tcp PORT            also serve the controllers on 127.0.0.1:PORT (never
                        another address; 0 picks a free port), raw bytes as on
                        the terminal, like a serial-to-Ethernet gateway's raw
                        TCP port; replies go back to the transport their
                        request came from, paced as on the terminal unless
                        --fast. One client at a time: a new connection
                        replaces (closes) the current one. With --modem the
                        modem is in front of the terminal only; TCP carries
                        raw bytes straight to the controllers.
  --inject INJECTION    a fault injection from the start, written as the
                        run-time command (e.g. --inject "late 800 always");
                        may be repeated
  --run CMD             run a run-time command before serving, e.g.
                        --run "node 3 off" (a node off the network from the
                        start) or --run "remote on"; may be repeated; its
                        answer goes to the trace, an error ends gxsim
  -h, --help            this text

Run-time commands (prefix "node N " to address node N; default the lowest):
  status                    one-line summary of the controller
  remote on|off             remote-start input
  mains fail|restore        mains supply (starts the set after the mains-fail
                            delay when an output is "Mains contactor open")
  fault CODE [shutdown|warning]
                            raise a fault; shutdown stops the engine (state 5)
  reset                     fault reset
  start | stop              Gen Start / Gen Stop, as sent by the program
  test | reload             remote test run / re-load
  mode auto|man|off         controller mode
  manual start|stop         start or stop in MAN mode
  output a|b                toggle the PC-controlled outputs
  battery VOLTS             battery voltage at rest (e.g. 12.8)
  oil PSI|auto              hold the oil pressure at a value, or follow the engine
  temp C|auto               hold the engine temperature, or follow the engine
  speed RPM|auto            hold the running engine speed (over/under speed)
  load AMPS                 load current per phase while on load (default 40)
  hours H                   hours run (e.g. 1234.56)
  input 3|4|5 on|off        programmable inputs (act per their profile function)
  charger fail|ok           charge alternator failure
  nostart on|off            the engine cranks but does not fire
  firmware V                change the firmware version
  node N off|on             node N goes silent / answers again
  inject KIND [COUNT|always]
                            line faults on the next COUNT replies (default 1):
                              drop            no reply
                              late MS         reply MS milliseconds late
                              split N GAP     reply in N pieces, GAP ms apart
                              badsum          corrupt the checksum (status and
                                              profile replies only)
                              garbage N       N random bytes before the reply
  inject clear | inject     remove all / list active injections
  call [NODE]               (--modem) an incoming call, from NODE (default the
                            lowest node; on a network every node stays on the
                            line): RING at once, then every 3 s (1 s with
                            --fast) until ATA, or S0 rings when S0 is not 0;
                            CONNECT 500 ms (100 ms) after the answer; it stops
                            after 10 unanswered rings
  call stop                 (--modem) the caller gives up: ringing ends
  modem fail NUMBER|clear   (--modem) dialling NUMBER ends in NO CARRIER /
                            no number fails
  modem status              (--modem) one line: mode, ringing, echo, result
                            form, S0 and S12, the number last dialled and the
                            failing numbers
  tcp status                (--tcp) whether a client is connected, bytes in
                            and out on its connection and in all
  tcp drop                  (--tcp) close the current TCP connection
  help | quit

Direct framing (single command bytes): 0x01 status, 0x02 profile (312 bytes),
0x03 + 312 bytes profile download (stored only when its checksum matches and
the engine is stopped; otherwise the next identification request is not
answered), 0x04 identification (16 characters), 0x17 profile text (1023),
0x18 + 1025 characters text download (confirmed by the identification, sent
unasked), 0x09 + 2 PIN bytes remote log-on (answers "0" or "1" against the
remote log-on PIN, default 1234), 0x1D latest fault (18 bytes: site name,
fault code, state; on a network the code is 48 when another node has the
newest fault), 0x1F node query (node, fault code of the newest fault),
control bytes 0x06 0x07 0x08 0x0A 0x10 0x11 0x14 0x19 0x1A 0x1B 0x1C, 0x12
(no reply). On a network the lowest node answers the direct framing.

Network framing (0x1E addr fn regHi regLo cntHi cntLo 0xFE):
  A 0x1E while idle starts a frame; a frame that does not end with 0xFE or
  stalls for more than 50 ms between bytes is dropped (scanning restarts at the
  next 0x1E in it). Frames for absent or silent nodes get no reply.
  Read replies: address, function, byte count, then the registers, two bytes
  each, most significant first; no checksum.
  Function 3: registers 0x00-0x2F hold image bytes 0-95 (two each), 0x30-0xD7
  one image byte each in the low byte (96-263), 0xD8-0xDB the PINs 0-3,
  0xDC-0xEB the identification (one character per register, low byte).
  Function 4: registers 0-20 hold status image bytes 0-20 in the low byte,
  register 21 is 0, registers 22-42 hold image bytes 23-64 (two each).
  Function 5: switches 0 fault reset, 1 start, 2 stop, 3 re-load, 4 output A,
  5 output B (follow the written value), 6 remote test, 8 MAN, 9 AUTO,
  10 manual start, 11 manual stop; value 0xFF00 on; no reply; address 0
  reaches every node.
  Network status image: oil pressure byte 18, temperature byte 19, timers
  0-7 at 23+2t; hours run in hundredths as six BCD digits at bytes 44 (most
  significant), 43, 42, so "44 43 42 . 17" read as a number and divided by
  100 gives the hours (hours above 9999.99 wrap); byte 17 stays the low byte
  of the engine speed, and byte 44 carries hours rather than the load-dump
  fault code (this controller never dumps its load, so that code is not
  needed). Bytes 20-22, 39-41 and 65-66 are 0.
Both layouts: timer 8 (stop output hold, tenths of a second) at bytes 57-58;
outputs byte 3: bits 0-3 programmable outputs 1-4, 4 fuel, 5 crank, 6 stop
solenoid, 7 preheat.

Timing: replies start after a 3 ms turnaround and go out a byte at a time at
about 1.04 ms a byte (9600 baud 8N1), plus --byte-gap; modem results and
echo likewise, so "1" and its CR arrive about 1 ms apart. --fast sends
everything at once.

Modem (--modem): in command mode it takes lines ending in CR (LF ignored)
that start with AT (any case) and may hold several commands, e.g.
"ATZE1V1X0S0=0": Z defaults (echo on, word results, S registers), E0/E1 echo
of the characters as they arrive, V0/V1 numeric or word results, X0-X4 accepted
(basic results always), Sn=v stores a register (S0 rings before answering
by itself, 0 never; S12 escape guard time in 1/50 s, default 50), DTnumber or
DPnumber dials (the number is the rest of the line), A answers a ringing
call (NO CARRIER when none rings), H0 hangs up, O goes back on-line after
the escape, Q1 keeps results back, In answers a line of information,
&F defaults, L, M, &C, &D, &K and &W are taken; a bare AT; anything else
(X5 and up, an unknown letter) gives ERROR. One result a line:
OK, ERROR, or the outcome of D or A. Results: V1 CR LF word CR LF; V0 the
code and CR: 0 OK, 1 CONNECT, 2 RING, 3 NO CARRIER, 4 ERROR. Any character
while dialling or answering abandons it (NO CARRIER). After CONNECT the
bytes pass to the controllers and back unchanged (a reply falling due
once the call has left data mode is dropped); "+++" with at least the
guard time of silence before and after it returns to command mode with OK,
the call still up (ATH0 then hangs up). Closing the terminal, as lowering
DTR, hangs up: command mode, on-hook, settings kept. In this mode gxsim
does not hold the terminal open itself; while no client has it open it
looks for one every 100 ms.
)";

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] auto n = ::write(signalPipe[1], &c, 1);
}

void printErr(const QString& text)
{
    std::fprintf(stderr, "gxsim: %s\n", qPrintable(text));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("gxsim"));

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption modelOpt(QStringLiteral("model"), QString(), QStringLiteral("model"), QStringLiteral("GX520"));
    const QCommandLineOption firmwareOpt(QStringLiteral("firmware"), QString(), QStringLiteral("V"), QStringLiteral("2.01"));
    const QCommandLineOption nodesOpt(QStringLiteral("nodes"), QString(), QStringLiteral("LIST"));
    const QCommandLineOption fastOpt(QStringLiteral("fast"));
    const QCommandLineOption byteGapOpt(QStringLiteral("byte-gap"), QString(), QStringLiteral("MS"));
    const QCommandLineOption comOpt(QStringLiteral("com"), QString(), QStringLiteral("N"));
    const QCommandLineOption traceOpt(QStringLiteral("trace"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption injectOpt(QStringLiteral("inject"), QString(), QStringLiteral("INJECTION"));
    const QCommandLineOption runOpt(QStringLiteral("run"), QString(), QStringLiteral("CMD"));
    const QCommandLineOption modemOpt(QStringLiteral("modem"));
    const QCommandLineOption dialDelayOpt(QStringLiteral("dial-delay"), QString(), QStringLiteral("MS"));
    const QCommandLineOption failNumberOpt(QStringLiteral("fail-number"), QString(), QStringLiteral("NUMBER"));
    const QCommandLineOption tcpOpt(QStringLiteral("tcp"), QString(), QStringLiteral("PORT"));
    const QCommandLineOption helpOpt(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions({modelOpt, firmwareOpt, nodesOpt, fastOpt, byteGapOpt, comOpt, traceOpt, injectOpt, runOpt, modemOpt,
                       dialDelayOpt, failNumberOpt, tcpOpt, helpOpt});
    if (!parser.parse(app.arguments())) {
        printErr(parser.errorText() + QStringLiteral(" (see --help)"));
        return 2;
    }
    if (parser.isSet(helpOpt)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        printErr(QStringLiteral("unexpected argument '%1' (see --help)").arg(parser.positionalArguments().first()));
        return 2;
    }

    Line::Config config;
    const QString model = parser.value(modelOpt).toUpper();
    if (model == QLatin1String("GX510"))
        config.model = Model::GX510;
    else if (model != QLatin1String("GX520")) {
        printErr(QStringLiteral("--model must be GX510 or GX520"));
        return 2;
    }
    config.firmware = parser.value(firmwareOpt).toStdString();
    if (firmwareNumber(config.firmware) <= 0 || config.firmware.size() > 9) {
        printErr(QStringLiteral("--firmware must be a version number such as 2.01"));
        return 2;
    }
    if (parser.isSet(nodesOpt)) {
        if (config.model == Model::GX510) {
            printErr(QStringLiteral("a GX510 has no RS485 network; --nodes needs GX520"));
            return 2;
        }
        std::string err;
        if (!parseNodeList(parser.value(nodesOpt).toStdString(), config.nodes, &err)) {
            printErr(QString::fromStdString(err));
            return 2;
        }
    }
    int com = 0;
    if (parser.isSet(comOpt)) {
        bool ok = false;
        com = parser.value(comOpt).toInt(&ok);
        if (!ok || com < 1 || com > 255) {
            printErr(QStringLiteral("--com must be a port number 1..255"));
            return 2;
        }
    }
    Injector injector;
    for (const QString& injection : parser.values(injectOpt)) {
        std::vector<std::string> words;
        for (const QString& w : injection.split(QRegularExpression(QStringLiteral("[\\s:=,]+")), Qt::SkipEmptyParts))
            words.push_back(w.toStdString());
        std::string err;
        const auto inj = Injector::parse(words, &err);
        if (!inj) {
            printErr(QStringLiteral("--inject %1: %2").arg(injection, QString::fromStdString(err)));
            return 2;
        }
        injector.add(*inj);
    }

    const bool fast = parser.isSet(fastOpt);
    Modem::Config modemConfig;
    modemConfig.dialDelayMs = fast ? 200 : 2000;
    modemConfig.answerDelayMs = fast ? 100 : 500;
    modemConfig.ringIntervalMs = fast ? 1000 : 3000;
    if ((parser.isSet(dialDelayOpt) || parser.isSet(failNumberOpt)) && !parser.isSet(modemOpt)) {
        printErr(QStringLiteral("--dial-delay and --fail-number need --modem"));
        return 2;
    }
    if (parser.isSet(dialDelayOpt)) {
        bool ok = false;
        modemConfig.dialDelayMs = parser.value(dialDelayOpt).toInt(&ok);
        if (!ok || modemConfig.dialDelayMs < 0 || modemConfig.dialDelayMs > 600000) {
            printErr(QStringLiteral("--dial-delay must be 0..600000 milliseconds"));
            return 2;
        }
    }
    PtyServer::Options options;
    options.fast = fast;
    if (parser.isSet(byteGapOpt)) {
        bool ok = false;
        const double ms = parser.value(byteGapOpt).toDouble(&ok);
        if (!ok || ms < 0 || ms > 1000 || fast) {
            printErr(fast ? QStringLiteral("--byte-gap and --fast exclude each other")
                          : QStringLiteral("--byte-gap must be 0..1000 milliseconds"));
            return 2;
        }
        options.byteGapUs = int(ms * 1000);
    }
    options.tracePath = parser.value(traceOpt);
    if (parser.isSet(tcpOpt)) {
        bool ok = false;
        options.tcpPort = parser.value(tcpOpt).toInt(&ok);
        if (!ok || options.tcpPort < 0 || options.tcpPort > 65535) {
            printErr(QStringLiteral("--tcp must be a port number 0..65535 (0: any free port)"));
            return 2;
        }
    }

    Line line(config);
    std::optional<Modem> modem;
    if (parser.isSet(modemOpt)) {
        modem.emplace(modemConfig);
        for (const QString& n : parser.values(failNumberOpt))
            modem->addFailNumber(n.toStdString());
    }
    Console console(line, injector);
    console.setModem(modem ? &*modem : nullptr);
    std::vector<std::string> startAnswers;
    for (const QString& cmd : parser.values(runOpt)) {
        const std::string answer = console.execute(cmd.toStdString(), 0);
        if (answer.rfind("ok", 0) != 0) {
            printErr(QStringLiteral("--run %1: %2").arg(cmd, QString::fromStdString(answer)));
            return 2;
        }
        startAnswers.push_back("--run " + cmd.toStdString() + ": " + answer);
    }
    PtyServer server(line, injector, console, options, modem ? &*modem : nullptr);
    QString error;
    if (!server.open(&error)) {
        printErr(error);
        return 1;
    }

    for (const auto& a : startAnswers)
        server.trace(QString::fromStdString(a));
    if (modem)
        server.trace(QStringLiteral("modem in front of the terminal: dial delay %1 ms, answer %2 ms, rings every %3 ms; %4")
                         .arg(modemConfig.dialDelayMs).arg(modemConfig.answerDelayMs).arg(modemConfig.ringIntervalMs)
                         .arg(QString::fromStdString(modem->describe())));

    // Record the terminal as COM N, remembering what was there before.
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("GX520"), QStringLiteral("GX520"));
    const QString comKey = QStringLiteral("Ports/COM%1").arg(com);
    std::optional<QVariant> previous;
    if (com > 0) {
        if (settings.contains(comKey))
            previous = settings.value(comKey);
        settings.setValue(comKey, server.path());
        settings.sync();
        server.trace(QStringLiteral("settings: COM%1 = %2 (%3)").arg(com).arg(server.path(), settings.fileName()));
    }

    std::fputs((server.path() + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
    if (server.tcpPort() != 0)
        std::fprintf(stdout, "tcp 127.0.0.1:%u\n", unsigned(server.tcpPort()));
    std::fflush(stdout);

    // SIGINT and SIGTERM end the event loop through a socket pair.
    ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe);
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    ::sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    QSocketNotifier signalNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [&] {
        char c;
        [[maybe_unused]] auto n = ::read(signalPipe[0], &c, 1);
        server.trace(QStringLiteral("signal: quitting"));
        app.quit();
    });
    QObject::connect(&server, &PtyServer::quitRequested, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    server.listenToStdin();

    const int rc = app.exec();

    if (com > 0) {
        if (previous)
            settings.setValue(comKey, *previous);
        else
            settings.remove(comKey);
        settings.sync();
    }
    server.trace(QStringLiteral("end"));
    return rc;
}
