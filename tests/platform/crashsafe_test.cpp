// Every file the program writes survives being killed mid-write: a writer is
// killed with SIGKILL at random moments, and each time the file must be the
// old one or the new one, whole. Profiles, address books and call logs all go
// through FileStore: the call log, which grows every round, stands for them.

#include "remote/calllog.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <functional>

using namespace gx;

namespace {

// How far a file has got: -1 when it is not whole.
using Progress = std::function<long(const QByteArray&, const QString& path)>;

long callLogProgress(const QByteArray& file, const QString&)
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

long settingsProgress(const QByteArray&, const QString& path)
{
    QSettings s(path, QSettings::IniFormat);
    if (s.status() != QSettings::NoError)
        return -1;
    // Each value is stored on its own: the padding may be one round behind.
    const long round = s.value("Settings/Round").toLongLong();
    const int padding = int(s.value("Settings/Padding").toString().count(QLatin1Char('p')));
    return round > 0 && (padding == int(round % 500) + 100 || padding == int((round - 1) % 500) + 100) ? round : -1;
}

} // namespace

TEST(CrashSafeFiles, KilledAtRandomMomentsEveryFileIsOldOrNewAndWhole)
{
    const struct {
        const char* kind;
        Progress progress;
    } rows[] = {{"calllog", callLogProgress}, {"settings", settingsProgress}};
    constexpr int Kills = 60;
    for (const auto& r : rows) {
        QTemporaryDir dir;
        const QString path = QString::fromLatin1(r.kind) == "settings" ? dir.filePath("GX520/GX520.ini")
                                                                        : dir.filePath("file.txt");
        long last = 0;
        int halfWritten = 0, kills = 0;
        for (int k = 0; k < Kills; ++k) {
            QProcess writer;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("XDG_CONFIG_HOME", dir.path());
            writer.setProcessEnvironment(env);
            writer.start(QStringLiteral(CRASHWRITER_PATH), {QString::fromLatin1(r.kind), path});
            ASSERT_TRUE(writer.waitForStarted(5000));
            writer.waitForReadyRead(5000);  // at least one round done
            QThread::usleep(QRandomGenerator::global()->bounded(1000, 30000));
            writer.kill();
            writer.waitForFinished(5000);
            ++kills;
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << r.kind;
            const long now = r.progress(f.readAll(), path);
            if (now < 0 || now < last)
                ++halfWritten;
            last = std::max(last, now);
        }
        std::printf("%s: %d kills at random moments, %ld rounds written, %d files found half-written\n", r.kind,
                    kills, last, halfWritten);
        EXPECT_EQ(halfWritten, 0) << r.kind;
        EXPECT_GT(last, Kills) << r.kind << ": the writer kept going between kills";
    }
}
