#pragma once

// Run-time commands typed on standard input, one per line, each answered with
// one line: act on the plant (remote start, mains, faults, readings), change
// a controller (firmware, silent node), inject line faults, and make calls on
// the modem.

#include "injector.h"
#include "line.h"
#include "modem.h"

#include <string>

namespace gxsim {

class Console {
public:
    Console(Line& line, Injector& injector) : line_(line), injector_(injector) {}

    // The modem in front of the line, for the call and modem commands.
    void setModem(Modem* modem) { modem_ = modem; }

    // Runs one command line at time `nowMs`; returns the one-line answer
    // ("ok ..." or "error: ..."). Sets *quit for the quit command.
    std::string execute(const std::string& line, std::int64_t nowMs, bool* quit = nullptr);

    static const char* helpText();

private:
    std::string run(Controller& c, const std::vector<std::string>& w, std::int64_t nowMs, bool* quit);
    std::string statusLine(Controller& c);
    std::string modemCommand(const std::vector<std::string>& w, std::int64_t nowMs);

    Line& line_;
    Injector& injector_;
    Modem* modem_ = nullptr;
};

} // namespace gxsim
