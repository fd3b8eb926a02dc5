#pragma once

// Run-time commands typed on standard input, one per line, each answered with
// one line: act on the plant (remote start, mains, faults, readings), change
// a controller (firmware, silent node) and inject line faults.

#include "injector.h"
#include "line.h"

#include <string>

namespace gxsim {

class Console {
public:
    Console(Line& line, Injector& injector) : line_(line), injector_(injector) {}

    // Runs one command line at time `nowMs`; returns the one-line answer
    // ("ok ..." or "error: ..."). Sets *quit for the quit command.
    std::string execute(const std::string& line, std::int64_t nowMs, bool* quit = nullptr);

    static const char* helpText();

private:
    std::string run(Controller& c, const std::vector<std::string>& w, std::int64_t nowMs, bool* quit);
    std::string statusLine(Controller& c);

    Line& line_;
    Injector& injector_;
};

} // namespace gxsim
