// Files are replaced whole or not at all.

#include "platform/filestore.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

using namespace gx;

namespace {

// A disk that fills up after `room` bytes.
class FullDisk final : public FileStore {
public:
    explicit FullDisk(qint64 room) : m_room(room) {}

protected:
    std::unique_ptr<QSaveFile> saveFile(const QString& path) override { return std::make_unique<File>(path, m_room); }

private:
    class File final : public QSaveFile {
    public:
        File(const QString& path, qint64 room) : QSaveFile(path), m_room(room) {}

    protected:
        qint64 writeData(const char* data, qint64 len) override
        {
            if (len > m_room) {
                setErrorString(QStringLiteral("No space left on device"));
                return -1;
            }
            m_room -= len;
            return QSaveFile::writeData(data, len);
        }

    private:
        qint64 m_room;
    };
    qint64 m_room;
};

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

} // namespace

TEST(FileStore, AFailedWriteLeavesThePreviousFileByteForByte)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("site.520");
    FileStore disk;
    QString error;
    ASSERT_TRUE(disk.write(path, "old profile\r\n", &error)) << qPrintable(error);

    FullDisk full(4);
    EXPECT_FALSE(full.write(path, QByteArray(5000, 'x'), &error));
    EXPECT_EQ(error, QStringLiteral("No space left on device"));
    EXPECT_EQ(contents(path), QByteArray("old profile\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"site.520"}) << "no temporary file is left";

    EXPECT_FALSE(disk.write(dir.filePath("site.520/inside"), "x", &error)) << "a file is no folder";
    EXPECT_FALSE(error.isEmpty());

    ASSERT_TRUE(disk.write(path, "new profile\r\n", &error));
    EXPECT_EQ(*disk.read(path, &error), QByteArray("new profile\r\n"));
    EXPECT_FALSE(disk.read(dir.filePath("absent"), &error));
}
