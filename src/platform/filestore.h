#pragma once

// Whole files read into memory and replaced atomically, and the folders the program keeps its files in.

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class QSaveFile;

namespace gx {

// Whole files, read into memory and replaced atomically: a write goes to a
// temporary file beside the target, which is renamed over the target only
// when every byte is written and flushed to the disk. A full disk, a removed
// USB stick or a crash mid-write leaves the previous file whole.
class FileStore {
public:
    virtual ~FileStore();

    // The file's bytes; nothing, with the reason in *error, when it cannot be read.
    virtual std::optional<QByteArray> read(const QString& path, QString* error) const;
    // Replaces the file with `bytes`; on failure the old file stays as it was
    // and *error says why.
    virtual bool write(const QString& path, const QByteArray& bytes, QString* error);
    // The same for a file that holds a secret: readable and writable by its
    // owner alone from its first byte on.
    virtual bool writePrivate(const QString& path, const QByteArray& bytes, QString* error);
    virtual bool exists(const QString& path) const;

protected:
    // The temporary file of one write (tests put a failing one here).
    virtual std::unique_ptr<QSaveFile> saveFile(const QString& path);

private:
    bool writeFile(const QString& path, const QByteArray& bytes, bool ownerOnly, QString* error);
};

// The folder the profile file dialogs start in: "GX520 profiles" in the user's
// documents folder (made when it is missing).
QString profilesFolder();

// The user's own data folder of the program (~/.local/share/GX520), made when
// it is missing.
QString userDataFolder();

} // namespace gx
