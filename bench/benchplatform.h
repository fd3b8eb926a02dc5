#pragma once

// The real platform pieces with quiet dialogs, for benchmarks.

#include "link/statussink.h"
#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/filedialogs.h"
#include "platform/filestore.h"
#include "platform/printer.h"
#include "platform/qtserialport.h"
#include "platform/settingsstore.h"
#include "platform/waiter.h"
#include "shell/formmonitor.h"

#include <QMap>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace bench {

class MemorySettings final : public gx::SettingsStore {
public:
    QString value(const QString& s, const QString& k, const QString& d) const override
    {
        return m.value(s + '/' + k, d);
    }
    void setValue(const QString& s, const QString& k, const QString& v) override { m[s + '/' + k] = v; }
    QMap<QString, QString> m;
};

class PrintingDialogs final : public gx::Dialogs {
public:
    Answer askOkCancel(const QString&, const QString&) override { return Ok; }
    void inform(const QString& t, const QString&) override { std::fprintf(stderr, "message: %s\n", qPrintable(t)); }
    void warn(const QString& t, const QString& title) override { inform(t, title); }
};

class QuietDesktop final : public gx::Desktop {
public:
    void beep() override {}
    bool openUrl(const QUrl&) override { return false; }
    QString systemInfoTool() const override { return {}; }
    bool startSystemInfo() override { return false; }
    bool notify(const QString&, const QString&) override { return false; }
};

class NoFileDialogs final : public gx::FileDialogs {
public:
    QString getSaveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString getOpenFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString getExistingDirectory(const QString&, const QString&) override { return {}; }
};

class NoPrinter final : public gx::Printer {
public:
    bool available() const override { return false; }
    void setup() override {}
    Outcome print(const gx::PrintDocument&, QString*) override { return Outcome::Closed; }
};

class QuietStatus final : public gx::StatusSink {
public:
    void displayStatus(const QString&, int, int) override {}
};

struct RealPlatform {
    gx::SteadyClock clock;
    gx::EventLoopWaiter waiter{clock};
    MemorySettings settings;
    PrintingDialogs dialogs;
    QuietDesktop desktop;
    gx::QtSerialPort port{settings};
    NoFileDialogs fileDialogs;
    gx::FileStore files;
    NoPrinter printer;
    gx::Platform platform() { return {port, clock, waiter, settings, dialogs, desktop, fileDialogs, files, printer}; }
    void useComOne(const QString& path)
    {
        settings.setValue("Ports", "COM1", path);
        settings.setValue("Settings", "use", "local");
        settings.setValue("Settings", "CurrentPort", "1");
    }
};

inline double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec + u.ru_stime.tv_usec / 1e6;
}

// CPU seconds of another process, from /proc.
inline double cpuSecondsOf(qint64 pid)
{
    std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
    std::string s((std::istreambuf_iterator<char>(f)), {});
    const auto close = s.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream rest(s.substr(close + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14)
            utime = std::stol(field);
        if (i == 15)
            stime = std::stol(field);
    }
    return double(utime + stime) / sysconf(_SC_CLK_TCK);
}

// Times the program went to sleep waiting (each wake-up costs CPU).
inline long voluntarySwitches()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_nvcsw;
}

inline long residentKiB()
{
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

constexpr double ByteTime = 10.0 / 9600.0;

} // namespace bench
