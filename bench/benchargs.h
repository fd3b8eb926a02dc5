#pragma once

// The arguments of a benchmark: each names its options and what they take;
// "--help" prints the usage, and anything else it does not understand is
// refused with the usage (exit status 2), so a mistyped argument is never
// taken for a figure.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace bench {

struct Args {
    // `usage`: the one line of usage, e.g. "linkbench [SECONDS]".
    // `options`: the options that take a number ("--idle"), `flags` those that take nothing.
    // `positionals`: how many bare numbers may follow.
    Args(int argc, char** argv, const char* usage, std::vector<std::string> numberOptions = {},
         std::vector<std::string> flagOptions = {}, int positionals = 0, std::vector<std::string> textOptions = {})
    {
        for (int i = 1; i < argc; ++i) {
            const std::string a = argv[i];
            auto is = [&a](const std::vector<std::string>& list) {
                for (const std::string& o : list)
                    if (a == o)
                        return true;
                return false;
            };
            if (a == "--help" || a == "-h") {
                std::printf("Usage: %s\n", usage);
                std::exit(0);
            }
            if (is(flagOptions)) {
                flags[a] = true;
            } else if (is(numberOptions) && i + 1 < argc && isNumber(argv[i + 1])) {
                numbers[a] = std::atof(argv[++i]);
            } else if (is(textOptions) && i + 1 < argc) {
                texts[a] = argv[++i];
            } else if (a.rfind("-", 0) != 0 && isNumber(a.c_str()) && int(positional.size()) < positionals) {
                positional.push_back(std::atof(a.c_str()));
            } else {
                std::fprintf(stderr, "%s: \"%s\" is not an argument it understands\nUsage: %s\n", argv[0], a.c_str(),
                             usage);
                std::exit(2);
            }
        }
    }

    double number(const std::string& option, double fallback) const
    {
        const auto it = numbers.find(option);
        return it == numbers.end() ? fallback : it->second;
    }
    double at(size_t index, double fallback) const { return index < positional.size() ? positional[index] : fallback; }
    bool flag(const std::string& option) const { return flags.count(option) > 0; }
    std::string text(const std::string& option, const std::string& fallback) const
    {
        const auto it = texts.find(option);
        return it == texts.end() ? fallback : it->second;
    }

    static bool isNumber(const char* s)
    {
        char* end = nullptr;
        const double v = std::strtod(s, &end);
        return end != s && *end == '\0' && v > 0;
    }

    std::map<std::string, double> numbers;
    std::map<std::string, bool> flags;
    std::map<std::string, std::string> texts;
    std::vector<double> positional;
};

} // namespace bench
