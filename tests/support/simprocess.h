#pragma once

// Starts the controller simulator (gxsim) as a process, reads the path of its
// pseudo-terminal, and sends it run-time commands. Used by end-to-end tests and
// benchmarks; GXSIM_PATH names the program.

#include <QProcess>
#include <QString>
#include <QStringList>

struct SimProcess {
    QProcess proc;
    QString path;
    // With `configDir`, the simulator keeps its settings there (XDG_CONFIG_HOME).
    explicit SimProcess(const QStringList& args, const QString& configDir = {})
    {
        if (!configDir.isEmpty()) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir);
            proc.setProcessEnvironment(env);
        }
        proc.start(QStringLiteral(GXSIM_PATH), args);
        if (proc.waitForStarted(5000) && proc.waitForReadyRead(5000))
            path = QString::fromLatin1(proc.readLine().trimmed());
    }
    // The next line the simulator prints (its TCP port after the terminal's path).
    QString nextLine()
    {
        while (!proc.canReadLine())
            if (!proc.waitForReadyRead(5000))
                return QString();
        return QString::fromLatin1(proc.readLine().trimmed());
    }
    // Sends one run-time command and returns its one-line answer.
    QString command(const QByteArray& line)
    {
        proc.write(line + '\n');
        proc.waitForBytesWritten(1000);
        while (!proc.canReadLine())
            if (!proc.waitForReadyRead(2000))
                return QString();
        return QString::fromUtf8(proc.readLine().trimmed());
    }
    ~SimProcess()
    {
        proc.closeWriteChannel();
        proc.terminate();
        if (!proc.waitForFinished(3000))
            proc.kill();
    }
};
