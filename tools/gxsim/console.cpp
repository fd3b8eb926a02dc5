// The simulator's run-time commands: parsing a typed line, acting on the plant or line, answering in one line.

#include "console.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace gxsim {

namespace {

std::vector<std::string> words(const std::string& line)
{
    std::vector<std::string> w;
    std::istringstream ss(line);
    std::string s;
    while (ss >> s)
        w.push_back(s);
    return w;
}

bool number(const std::string& s, double& out)
{
    char* end = nullptr;
    out = std::strtod(s.c_str(), &end);
    return !s.empty() && *end == 0 && std::isfinite(out);
}

bool onOff(const std::string& s, bool& out)
{
    if (s == "on" || s == "yes" || s == "1") {
        out = true;
        return true;
    }
    if (s == "off" || s == "no" || s == "0") {
        out = false;
        return true;
    }
    return false;
}

const char* phaseName(Phase p)
{
    switch (p) {
    case Phase::Standby: return "standby";
    case Phase::StartDelay: return "start-delay";
    case Phase::Preheat: return "preheat";
    case Phase::Crank: return "cranking";
    case Phase::CrankRest: return "crank-rest";
    case Phase::Running: return "running";
    case Phase::Transfer: return "contactor-delay";
    case Phase::OnLoad: return "on-load";
    case Phase::Restoration: return "restoration";
    case Phase::Cooling: return "cooling";
    case Phase::Stopping: return "stopping";
    case Phase::Shutdown: return "shutdown";
    }
    return "?";
}

const char* modeName(Mode m) { return m == Mode::Auto ? "AUTO" : m == Mode::Man ? "MAN" : "OFF"; }

} // namespace

const char* Console::helpText()
{
    return "commands: status | remote on|off | mains fail|restore | fault CODE [shutdown|warning] | reset"
           " | start | stop | test | reload | mode auto|man|off | manual start|stop | output a|b"
           " | battery VOLTS | oil PSI|auto | temp C|auto | speed RPM|auto | load AMPS | hours H"
           " | input 3|4|5 on|off | charger fail|ok | nostart on|off | firmware V | node N off|on"
           " | node N COMMAND | inject drop|late MS|split N GAP|badsum|garbage N [COUNT|always]"
           " | inject clear | inject | call [NODE] | call stop | modem status | modem fail NUMBER|clear"
           " | tcp status | tcp drop | help | quit";
}

std::string Console::execute(const std::string& text, std::int64_t nowMs, bool* quit)
{
    auto w = words(text);
    if (w.empty())
        return "error: empty command";
    line_.advanceTo(nowMs);
    if (w[0] == "call" || w[0] == "modem")
        return modemCommand(w, nowMs);
    Controller* c = &line_.lineController();
    if (w[0] == "node") {
        if (w.size() < 2)
            return "error: usage: node N off|on|COMMAND";
        double n = 0;
        if (!number(w[1], n) || !(c = line_.controller(int(n))))
            return "error: no node " + w[1];
        if (w.size() == 3 && (w[2] == "off" || w[2] == "on")) {
            c->setOnline(w[2] == "on");
            return "ok node " + std::to_string(c->address()) + (w[2] == "on" ? " answering" : " silent");
        }
        w.erase(w.begin(), w.begin() + 2);
        if (w.empty())
            return "error: usage: node N off|on|COMMAND";
    }
    return run(*c, w, nowMs, quit);
}

std::string Console::modemCommand(const std::vector<std::string>& w, std::int64_t nowMs)
{
    if (!modem_)
        return "error: no modem (start gxsim with --modem)";
    if (w[0] == "call") {
        if (w.size() == 2 && w[1] == "stop")
            return modem_->stopRinging() ? "ok ringing stopped" : "ok no call was ringing";
        if (w.size() > 2)
            return "error: usage: call [NODE] | call stop";
        int node = line_.lineController().address();
        if (w.size() == 2) {
            double n = 0;
            if (!number(w[1], n) || !line_.controller(int(n)))
                return "error: no node " + w[1];
            node = int(n);
        }
        std::string err;
        if (!modem_->ring(nowMs, node, &err))
            return "error: " + err;
        return "ok ringing: call from node " + std::to_string(node);
    }
    if (w.size() == 2 && w[1] == "status")
        return "ok modem " + modem_->describe();
    if (w.size() == 3 && w[1] == "fail") {
        if (w[2] == "clear") {
            modem_->clearFailNumbers();
            return "ok no number fails";
        }
        modem_->addFailNumber(w[2]);
        return "ok dialling " + w[2] + " gives NO CARRIER";
    }
    return "error: usage: modem status | modem fail NUMBER|clear";
}

std::string Console::statusLine(Controller& c)
{
    const Engine& e = c.engine();
    std::ostringstream s;
    const auto h = e.hoursHundredths();
    s << "ok node " << c.address() << (c.online() ? "" : " (silent)") << ": " << c.identification().substr(0, 11)
      << " state " << e.stateByte() << " " << phaseName(e.phase()) << " " << modeName(e.mode())
      << " fault " << e.faultCode() << " rpm " << e.rpm() << " " << e.frequency() << "Hz "
      << e.genVolts(1) << "V " << e.genAmps(1) << "A oil " << e.oilPsi() << "psi temp " << e.tempC()
      << "C battery " << e.batteryTenths() / 10 << "." << e.batteryTenths() % 10 << "V hours "
      << h / 100 << "." << (h % 100 < 10 ? "0" : "") << h % 100 << " remote " << (e.remoteStart() ? "on" : "off")
      << " mains " << (e.mainsPresent() ? "ok" : "failed");
    return s.str();
}

std::string Console::run(Controller& c, const std::vector<std::string>& w, std::int64_t, bool* quit)
{
    Engine& e = c.engine();
    const std::string& cmd = w[0];
    const std::string node = "node " + std::to_string(c.address());
    const auto arg = [&](std::size_t i) { return i < w.size() ? w[i] : std::string(); };
    double v = 0;
    bool on = false;

    if (cmd == "help")
        return helpText();
    if (cmd == "quit" || cmd == "exit") {
        if (quit)
            *quit = true;
        return "ok quitting";
    }
    if (cmd == "status")
        return statusLine(c);
    if (cmd == "remote" && onOff(arg(1), on)) {
        e.setRemoteStart(on);
        return "ok " + node + " remote start " + (on ? "on" : "off");
    }
    if (cmd == "mains" && (arg(1) == "fail" || arg(1) == "off" || arg(1) == "restore" || arg(1) == "on")) {
        const bool present = arg(1) == "restore" || arg(1) == "on";
        e.setMainsPresent(present);
        return "ok " + node + " mains " + (present ? "restored" : "failed");
    }
    if (cmd == "fault" && number(arg(1), v) && v >= 1 && v <= 255) {
        bool shut = !fault::isWarning(int(v));
        if (arg(2) == "warning")
            shut = false;
        else if (arg(2) == "shutdown")
            shut = true;
        else if (!arg(2).empty())
            return "error: usage: fault CODE [shutdown|warning]";
        e.raiseFault(int(v), shut);
        return "ok " + node + " fault " + std::to_string(int(v)) + (shut ? " shutdown" : " warning");
    }
    if (cmd == "reset") {
        e.command(Command::FaultReset);
        return "ok " + node + " fault reset, fault now " + std::to_string(e.faultCode());
    }
    if (cmd == "start" || cmd == "stop" || cmd == "test" || cmd == "reload") {
        e.command(cmd == "start" ? Command::GenStart : cmd == "stop" ? Command::GenStop
                  : cmd == "test" ? Command::RemoteTest : Command::Reload);
        return "ok " + node + " " + cmd;
    }
    if (cmd == "mode" && (arg(1) == "auto" || arg(1) == "man" || arg(1) == "off")) {
        e.command(arg(1) == "auto" ? Command::AutoMode : arg(1) == "man" ? Command::ManMode : Command::OffMode);
        return "ok " + node + " mode " + modeName(e.mode());
    }
    if (cmd == "manual" && (arg(1) == "start" || arg(1) == "stop")) {
        e.command(arg(1) == "start" ? Command::ManStart : Command::ManStop);
        return "ok " + node + " manual " + arg(1);
    }
    if (cmd == "output" && (arg(1) == "a" || arg(1) == "b")) {
        e.command(arg(1) == "a" ? Command::OutputA : Command::OutputB);
        return "ok " + node + " output " + arg(1) + " " + ((arg(1) == "a" ? e.outputA() : e.outputB()) ? "on" : "off");
    }
    if (cmd == "battery" && number(arg(1), v) && v >= 0 && v <= 60) {
        e.setBatteryTenths(int(std::lround(v * 10)));
        return "ok " + node + " battery " + arg(1) + " V";
    }
    if ((cmd == "oil" || cmd == "temp" || cmd == "speed") && !arg(1).empty()) {
        std::optional<int> value;
        if (arg(1) != "auto") {
            if (!number(arg(1), v) || v < (cmd == "temp" ? -40 : 0) || v > 5000)
                return "error: usage: " + cmd + " VALUE|auto";
            value = int(std::lround(v));
        }
        if (cmd == "oil")
            e.setOilOverride(value);
        else if (cmd == "temp")
            e.setTempOverride(value);
        else
            e.setSpeedOverride(value);
        return "ok " + node + " " + cmd + " " + (value ? std::to_string(*value) : "follows the engine");
    }
    if (cmd == "load" && number(arg(1), v) && v >= 0 && v <= 5000) {
        e.setLoadAmps(int(std::lround(v)));
        return "ok " + node + " load " + std::to_string(int(std::lround(v))) + " A";
    }
    if (cmd == "hours" && number(arg(1), v) && v >= 0 && v < 1000000) {
        e.setHoursHundredths(std::uint64_t(std::llround(v * 100)));
        return "ok " + node + " hours run " + arg(1);
    }
    if (cmd == "input" && number(arg(1), v) && v >= 3 && v <= 5 && onOff(arg(2), on)) {
        e.setInput(int(v), on);
        return "ok " + node + " input " + arg(1) + " " + (on ? "active" : "inactive");
    }
    if (cmd == "charger" && (arg(1) == "fail" || arg(1) == "ok")) {
        e.setChargerFailed(arg(1) == "fail");
        return "ok " + node + " charger " + arg(1);
    }
    if (cmd == "nostart" && onOff(arg(1), on)) {
        e.setWillNotFire(on);
        return "ok " + node + (on ? " engine will not fire" : " engine fires normally");
    }
    if (cmd == "firmware" && number(arg(1), v) && v > 0) {
        c.setFirmware(arg(1));
        return "ok " + node + " identifies as '" + c.identification() + "', status " + std::to_string(c.statusLength())
            + " bytes";
    }
    if (cmd == "inject") {
        if (w.size() == 1)
            return "ok injections: " + injector_.describe();
        if (arg(1) == "clear") {
            injector_.clear();
            return "ok injections cleared";
        }
        std::string err;
        const auto i = Injector::parse(std::vector<std::string>(w.begin() + 1, w.end()), &err);
        if (!i)
            return "error: " + err;
        injector_.add(*i);
        return "ok inject " + i->describe();
    }
    return "error: unknown or malformed command '" + cmd + "' (try help)";
}

} // namespace gxsim
