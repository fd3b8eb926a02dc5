#pragma once

// gxctl serve as a process for end-to-end tests and benchmarks, its standard
// error kept; GXCTL_PATH names the program.

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>

struct ServeProcess {
    QProcess proc;
    QString err;
    explicit ServeProcess(const QStringList& args)
    {
        QObject::connect(&proc, &QProcess::readyReadStandardError, &proc,
                         [this] { err += QString::fromUtf8(proc.readAllStandardError()); });
        proc.start(QStringLiteral(GXCTL_PATH), args);
        proc.waitForStarted(5000);
    }
    ~ServeProcess() { stop(); }
    // SIGTERM, as systemd stops it; its exit status.
    int stop()
    {
        if (proc.state() != QProcess::NotRunning) {
            proc.terminate();
            if (!QTest::qWaitFor([this] { return proc.state() == QProcess::NotRunning; }, 10000))
                proc.kill();
            proc.waitForFinished(3000);
        }
        err += QString::fromUtf8(proc.readAllStandardError());
        return proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1;
    }
};
