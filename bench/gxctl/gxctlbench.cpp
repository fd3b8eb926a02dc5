// How long "gxctl identify" takes from process start to exit, against the
// simulator paced at 9600 baud, beside the exchange's own wire time (one
// request byte and the 16-character reply, about 18 ms with the turnaround).

#include "../benchargs.h"
#include "simprocess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    const bench::Args args(argc, argv, "gxctlbench [RUNS]", {}, {}, 1);
    QCoreApplication app(argc, argv);
    const int runs = int(args.at(0, 20));
    SimProcess sim({});
    std::vector<double> times;
    int good = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        QProcess p;
        p.start(QStringLiteral(GXCTL_PATH), {QStringLiteral("--port"), sim.path, QStringLiteral("identify")});
        p.waitForFinished(10000);
        times.push_back(t.nsecsElapsed() / 1e6);
        good += p.exitCode() == 0;
    }
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times)
        sum += t;
    const double wire = 17 * 10 * 1000.0 / 9600 + 3;  // 17 bytes at 9600 baud 8N1, 3 ms turnaround
    std::printf("gxctl identify: %d of %d good; process start to exit mean %.1f ms, median %.1f ms, worst %.1f ms"
                " (target under 150 ms); the exchange's wire time %.1f ms\n",
                good, runs, sum / runs, times[times.size() / 2], times.back(), wire);
    return good == runs ? 0 : 1;
}
