// gxctl: the program's work from the command line, for scripts, back-ups and
// logging. The same protocol, records and files as the window; no widgets.

#include "commands.h"
#include "serve.h"

#include <QCoreApplication>

#include <cstdio>
#include <functional>

using namespace gxctl;

namespace {

struct Option {
    const char* name;
    const char* value;  // nullptr: a flag
    const char* help;
};

const Option GlobalOptions[] = {
    {"port", "DEVICE|COMn|tcp://HOST:PORT", "the port: a device, a COM number as the program maps it, or a serial "
                                           "gateway's TCP port (default: the port of the program's settings)"},
    {"node", "N", "talk to RS485 node N in the network framing (default: the direct framing)"},
    {"dial", "NUMBER", "dial out through the modem port of the settings first, log on with --pin, hang up after"},
    {"pin", "PIN", "the remote log-on PIN for --dial"},
    {"json", nullptr, "output for programs (identify, status, scan, diff)"},
    {"verbose", nullptr, "also show the progress messages the window shows"},
};

struct Command {
    const char* name;
    const char* synopsis;
    const char* description;
    std::vector<Option> options;
    int arguments;  // positional arguments it takes
    bool usesPort;
    std::function<int(Session&, const Invocation&)> run;
};

const std::vector<Command>& commands()
{
    static const std::vector<Command> list = {
        {"identify", "identify", "The controller's identification text, model and firmware version.", {}, 0, true, identify},
        {"status", "status [--watch SECONDS] [--csv FILE]",
         "The decoded status: state, mode, the two LCD lines as the monitor shows them, generator voltages, "
         "currents and frequency, oil pressure, engine temperature, battery, engine speed, hours run and the "
         "active fault.",
         {{"watch", "SECONDS", "poll again every SECONDS until interrupted (Ctrl-C)"},
          {"csv", "FILE", "append one row per poll to FILE (a header line first when FILE is new)"}},
         0, true, status},
        {"upload", "upload -o FILE",
         "Reads the profile and its notes and writes them as \"Save profile to disk\" does. Over the network "
         "(--node) the notes do not travel: the file holds none.",
         {{"o", "FILE", "the profile file to write"}}, 0, true, upload},
        {"download", "download FILE [--no-limits]",
         "Writes a profile file into a stopped controller, as \"Download profile to Genpilot\" does, with its "
         "checks and both confirmations. Direct line only. Every value is first checked against limits.txt; "
         "without that file the download is refused.",
         {{"no-limits", nullptr, "download without limits.txt, the values unchecked"}}, 1, true, download},
        {"check", "check FILE [--limits FILE]",
         "Reads a profile file and reports every line that breaks the layout and every value outside its range "
         "or option list. Exit status 0 only when clean.",
         {{"limits", "FILE", "the limits file (default: limits.txt where the program finds it)"}}, 1, false, check},
        {"diff", "diff A B",
         "Compares two profiles slot by slot, each a profile file or \"controller\" (uploaded now), and prints each "
         "difference with its label and both values as the program shows them. Exit status as diff(1): 0 the "
         "same, 1 different, 2 trouble (a file that cannot be read, a controller that does not answer).",
         {}, 2, false, diff},
        {"scan", "scan", "The quick status of RS485 nodes 1 to 15, one line per node that answers.", {}, 0, true, scan},
        {"serve", "serve [--nodes LIST] [--broker URL] [--config FILE] ...",
         "Runs until stopped (SIGTERM, Ctrl-C), polling the line without a break (the direct line every 0.5 s, "
         "or RS485 nodes in turn) and publishing every node over MQTT: PREFIX/SITE/NODE/state (retained JSON of "
         "status --json plus \"time\"), availability (\"online\", \"offline\" after three time-outs in a row), "
         "fault (each fault that comes or clears), link (the link counts, every 60 s), PREFIX/SITE/status (the "
         "service's own \"online\"/\"offline\"), and Home Assistant discovery. NODE is 0 for the direct line. "
         "A broker that is down only delays publishing; a lost port is opened again every 5 s. Nothing is written "
         "to a controller unless --commands allows it and PREFIX/SITE/NODE/command asks for it. The keys of "
         "--config are the names of these options and port, node (\"no-discovery = true\"); options given "
         "on the command line win.",
         {{"nodes", "LIST", "RS485 nodes to watch, e.g. 1-15 or 1,2,5 (--node N watches one; neither: the direct line)"},
          {"broker", "URL", "mqtt://HOST:PORT or mqtts://HOST:PORT (default mqtt://127.0.0.1:1883)"},
          {"site", "NAME", "the site's topic level: letters, digits, _ and - (default: the controller's site name)"},
          {"topic-prefix", "PREFIX", "the first topic levels (default gx520)"},
          {"discovery-prefix", "PREFIX", "Home Assistant's discovery prefix (default homeassistant)"},
          {"no-discovery", nullptr, "publish no Home Assistant discovery"},
          {"credentials", "FILE", "the broker's user name (first line) and password (second line); the file must "
                                  "not be readable by other users"},
          {"cafile", "FILE", "the certificate authority of an mqtts:// broker (default: the system's)"},
          {"commands", "LIST", "commands taken from the command topic: start, stop, reset, mute, auto, manual, test "
                               "(default none)"},
          {"on-fault", "COMMAND", "run COMMAND (without a shell) on each fault that comes or clears, with GX_SITE, "
                                  "GX_NODE, GX_FAULT_CODE, GX_FAULT_TEXT, GX_FAULT_STATE, GX_FAULT_TIME set"},
          {"interval", "SECONDS", "a slower poll of the direct line (default 0.5)"},
          {"config", "FILE", "read the settings from an INI file first"}},
         0, false, serve},
    };
    return list;
}

const Command* find(const QString& name)
{
    for (const Command& c : commands())
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

void addOption(QCommandLineParser& p, const Option& o)
{
    QStringList names{QString::fromLatin1(o.name)};
    if (o.value)
        p.addOption(QCommandLineOption(names, QString::fromLatin1(o.help), QString::fromLatin1(o.value)));
    else
        p.addOption(QCommandLineOption(names, QString::fromLatin1(o.help)));
}

// Text folded to `width` columns, every line after the first indented by `indent`.
QString folded(const QString& text, int indent, int width = 79)
{
    QString out, line;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && indent + line.size() + 1 + word.size() > width) {
            out += line + QLatin1Char('\n') + QString(indent, QLatin1Char(' '));
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    return out + line;
}

QString optionsText(const std::vector<Option>& options)
{
    QString text;
    for (const Option& o : options) {
        QString left = QLatin1String(o.name).size() == 1 ? QStringLiteral("  -%1").arg(QLatin1String(o.name))
                                                           : QStringLiteral("  --%1").arg(QLatin1String(o.name));
        if (o.value)
            left += QLatin1Char(' ') + QLatin1String(o.value);
        left = left.size() >= 24 ? left + QLatin1Char('\n') + QString(24, QLatin1Char(' ')) : left.leftJustified(24);
        text += left + folded(QString::fromLatin1(o.help), 24) + QLatin1Char('\n');
    }
    return text;
}

// A command's own part of the help: the same in "gxctl --help" and "gxctl COMMAND --help".
QString commandText(const Command& c)
{
    return QStringLiteral("gxctl [options] %1\n    %2\n").arg(QLatin1String(c.synopsis), folded(QString::fromLatin1(c.description), 4))
         + optionsText(c.options);
}

const char* UsageLine = "Usage: gxctl [options] COMMAND [arguments]";

const char* Closing = "\nExit status: 0 success, 1 the controller or a file failed (the message on\n"
                      "standard error), 2 a usage error; diff: 0 the same, 1 different, 2 trouble.\n"
                      "Ctrl-C ends a command; a download that has begun to send the profile\n"
                      "finishes first unless Ctrl-C is pressed twice; after --dial the modem is\n"
                      "hung up, also when Ctrl-C comes during the dial.\n";

QString usageText()
{
    QString t = QLatin1String(UsageLine) + QStringLiteral("\n\n"
                               "The work of the GX510-520 program from the command line: the same protocol,\n"
                               "profile files and messages as the window.\n\nCommands:\n\n");
    for (const Command& c : commands())
        t += commandText(c) + QLatin1Char('\n');
    t += QStringLiteral("Options of every command:\n") + optionsText({std::begin(GlobalOptions), std::end(GlobalOptions)});
    t += QStringLiteral("  -h, --help              this text; gxctl COMMAND --help shows one command\n"
                        "  --version               the version of gxctl\n");
    return t + QLatin1String(Closing);
}

QString commandHelp(const Command& c)
{
    return QStringLiteral("Usage: ") + commandText(c) + QStringLiteral("\nOptions of every command:\n")
         + optionsText({std::begin(GlobalOptions), std::end(GlobalOptions)}) + QLatin1String(Closing);
}

int usage(const QString& why)
{
    std::fprintf(stderr, "gxctl: %s\n%s (gxctl --help tells more)\n", qPrintable(why), UsageLine);
    return Usage;
}

// The command is the first argument that is neither an option nor an option's value.
QString commandName(const QStringList& args)
{
    QStringList valued;
    for (const Option& o : GlobalOptions)
        if (o.value)
            valued << QString::fromLatin1(o.name);
    for (const Command& c : commands())
        for (const Option& o : c.options)
            if (o.value)
                valued << QString::fromLatin1(o.name);
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a.startsWith(QLatin1Char('-'))) {
            const QString name = a.mid(a.startsWith(QLatin1String("--")) ? 2 : 1);
            if (valued.contains(name) && !a.contains(QLatin1Char('=')))
                ++i;
            continue;
        }
        return a;
    }
    return QString();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("GX520"));
    const QStringList args = app.arguments();
    const QString name = commandName(args);
    const Command* command = find(name);
    const bool help = args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"));
    // An unknown command is a usage error, whatever follows it (--help too).
    if (!name.isEmpty() && !command)
        return usage(QStringLiteral("no command \"%1\"").arg(name));
    if (!command) {
        if (args.contains(QStringLiteral("--version"))) {
            std::printf("gxctl %s\n", GX_VERSION);
            return Success;
        }
        if (help || args.size() == 1) {
            std::fputs(qPrintable(usageText()), help ? stdout : stderr);
            return help ? Success : Usage;
        }
        return usage(QStringLiteral("no command given"));
    }
    if (help) {
        std::fputs(qPrintable(commandHelp(*command)), stdout);
        return Success;
    }

    QCommandLineParser p;
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const Option& o : GlobalOptions)
        addOption(p, o);
    for (const Option& o : command->options)
        addOption(p, o);
    if (!p.parse(args))
        return usage(p.errorText());
    QStringList rest = p.positionalArguments();
    rest.removeFirst();  // the command
    if (rest.size() != command->arguments)
        return usage(QStringLiteral("%1 takes %2 argument%3: %4")
                         .arg(name).arg(command->arguments).arg(command->arguments == 1 ? "" : "s")
                         .arg(QLatin1String(command->synopsis)));
    if (name == QLatin1String("upload") && p.value(QStringLiteral("o")).isEmpty())
        return usage(QStringLiteral("upload needs -o FILE"));
    if (p.isSet(QStringLiteral("node"))) {
        bool ok = false;
        const int node = p.value(QStringLiteral("node")).toInt(&ok);
        if (!ok || node < 0 || node > 16)
            return usage(QStringLiteral("--node takes a node address 0 to 16"));
        if (name == QLatin1String("download"))
            return usage(QStringLiteral("the download travels only on the direct line; leave out --node"));
    }
    if (p.isSet(QStringLiteral("dial")) != p.isSet(QStringLiteral("pin")))
        return usage(QStringLiteral("--dial and --pin go together"));
    if (name == QLatin1String("status") && p.isSet(QStringLiteral("watch")) && p.value(QStringLiteral("watch")).toDouble() <= 0)
        return usage(QStringLiteral("--watch takes a number of seconds"));

    Session session;
    session.status.verbose = p.isSet(QStringLiteral("verbose"));
    installInterruptHandler(session);
    const bool needsPort = command->usesPort
                        || (name == QLatin1String("diff") && rest.contains(QStringLiteral("controller")));
    const bool dialling = p.isSet(QStringLiteral("dial"));
    if (needsPort) {
        if (!session.open(p.value(QStringLiteral("port")), dialling))
            return Failure;
        if (dialling) {
            // Without an initialisation string of the user's, the one the settings dialog offers.
            if (session.settings.setting(QStringLiteral("ModemInit")).isEmpty())
                session.settings.overlay(QStringLiteral("Settings"), QStringLiteral("ModemInit"),
                                         QStringLiteral("ATZE1V1X0S0=0"));
            const auto result = session.dialer.dial(p.value(QStringLiteral("dial")), p.value(QStringLiteral("pin")),
                                                    [&session](const QString& s) {
                                                        if (session.status.verbose)
                                                            printError(s);
                                                    });
            if (result != gx::Dialer::Result::LoggedOn) {
                if (session.interrupted) {
                    // Ctrl-C during the dial: the modem abandons the call and
                    // hangs up, as "Disconnect" does in the window.
                    session.waiter.resetClosing();
                    if (!session.dialer.connected())
                        session.dialer.cancel();  // CR LF: only while the modem still dials
                    session.dialer.hangUp();
                    printError(QStringLiteral("interrupted: the call was abandoned and the modem hung up"));
                }
                return Failure;
            }
            session.port.setInputMode(gx::SerialPort::TextMode);
        }
    }
    const Invocation in{p, rest, p.isSet(QStringLiteral("json"))};
    const int rc = command->run(session, in);
    if (needsPort && dialling) {
        session.waiter.resetClosing();  // hang up even after Ctrl-C
        session.dialer.hangUp();
    }
    return rc;
}
