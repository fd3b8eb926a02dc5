#pragma once

// Starts the controller simulator for a benchmark and reads its terminal path.

#include <QProcess>
#include <QString>
#include <QStringList>

struct SimProcess {
    QProcess proc;
    QString path;
    explicit SimProcess(const QStringList& args)
    {
        proc.start(QStringLiteral(GXSIM_PATH), args);
        if (proc.waitForStarted(5000) && proc.waitForReadyRead(5000))
            path = QString::fromLatin1(proc.readLine().trimmed());
    }
    void command(const QByteArray& line)
    {
        proc.write(line + '\n');
        proc.waitForBytesWritten(1000);
    }
    ~SimProcess()
    {
        proc.closeWriteChannel();
        proc.terminate();
        if (!proc.waitForFinished(3000))
            proc.kill();
    }
};
