// Every file the program writes survives being killed mid-write: a writer is
// killed with SIGKILL at random moments, and each time the file must be the
// old one or the new one, whole. Profiles, address books and call logs all go
// through FileStore: the call log, which grows every round, stands for them.
// The settings are QSettings' own INI file, which Qt replaces whole itself.

#include "remote/calllog.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

using namespace gx;

namespace {

// How many rounds the call log holds: -1 when it is not whole.
long progress(const QByteArray& file)
{
    if (!file.endsWith("EOF\r\n"))
        return -1;
    const QStringList records = gx::calllog::recordLines(file);
    for (int i = 0; i < records.size(); ++i)
        if (calllog::columns(records[i]).number.trimmed().toLong() != records.size() - i
            || calllog::columns(records[i]).fault.size() != 200)
            return -1;
    return records.size();
}

} // namespace

TEST(CrashSafeFiles, KilledAtRandomMomentsTheFileIsOldOrNewAndWhole)
{
    constexpr int Kills = 60;
    QTemporaryDir dir;
    const QString path = dir.filePath("file.txt");
    long last = 0;
    int halfWritten = 0;
    for (int k = 0; k < Kills; ++k) {
        QProcess writer;
        writer.start(QStringLiteral(CRASHWRITER_PATH), {path});
        ASSERT_TRUE(writer.waitForStarted(5000));
        writer.waitForReadyRead(5000);  // at least one round done
        QThread::usleep(QRandomGenerator::global()->bounded(1000, 30000));
        writer.kill();
        writer.waitForFinished(5000);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const long now = progress(f.readAll());
        if (now < 0 || now < last)
            ++halfWritten;
        last = std::max(last, now);
    }
    std::printf("call log: %d kills at random moments, %ld rounds written, %d files found half-written\n", Kills, last,
                halfWritten);
    EXPECT_EQ(halfWritten, 0);
    EXPECT_GT(last, Kills) << "the writer kept going between kills";
}
