// Reading whole files and writing them through QSaveFile, owner-only for secrets; the profile and data folders.

#include "filestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace gx {

FileStore::~FileStore() = default;

std::unique_ptr<QSaveFile> FileStore::saveFile(const QString& path)
{
    return std::make_unique<QSaveFile>(path);
}

std::optional<QByteArray> FileStore::read(const QString& path, QString* error) const
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return std::nullopt;
    }
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        if (error)
            *error = f.errorString();
        return std::nullopt;
    }
    return bytes;
}

bool FileStore::write(const QString& path, const QByteArray& bytes, QString* error)
{
    return writeFile(path, bytes, false, error);
}

bool FileStore::writePrivate(const QString& path, const QByteArray& bytes, QString* error)
{
    return writeFile(path, bytes, true, error);
}

bool FileStore::writeFile(const QString& path, const QByteArray& bytes, bool ownerOnly, QString* error)
{
    std::unique_ptr<QSaveFile> f = saveFile(path);
    if (!f->open(QIODevice::WriteOnly)) {
        if (error)
            *error = f->errorString();
        return false;
    }
    // The temporary file is renamed over the target: its permissions are the file's.
    if (ownerOnly && !f->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        if (error)
            *error = f->errorString();
        f->cancelWriting();
        return false;
    }
    if (f->write(bytes) != bytes.size()) {
        if (error)
            *error = f->errorString();
        f->cancelWriting();
        return false;
    }
    if (!f->commit()) {
        if (error)
            *error = f->errorString();
        return false;
    }
    return true;
}

bool FileStore::exists(const QString& path) const
{
    return QFileInfo::exists(path);
}

QString profilesFolder()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    const QString folder = QDir(documents).filePath(QStringLiteral("GX520 profiles"));
    QDir().mkpath(folder);
    return folder;
}

QString userDataFolder()
{
    const QString folder = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                               .filePath(QStringLiteral("GX520"));
    QDir().mkpath(folder);
    return folder;
}

} // namespace gx
