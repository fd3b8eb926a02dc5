#pragma once

// The credentials file of a broker connection: the user name on its first
// line, the password on its second, readable by its owner alone.

#include <QByteArray>
#include <QString>

#include <optional>

namespace gx {

class FileStore;

struct Credentials {
    QString user, password;
};

// Nothing, with why in *error ("PATH cannot be read: ...", "PATH can be read
// by other users ...", "PATH must hold ..."), for a file that is missing,
// readable by others, larger than 64 KiB or not two lines with a user name.
std::optional<Credentials> readCredentialsFile(const QString& path, QString* error);
// The file's text.
QByteArray credentialsText(const Credentials& c);
// Writes it atomically, readable and writable by its owner alone.
bool writeCredentialsFile(FileStore& files, const QString& path, const Credentials& c, QString* error);

} // namespace gx
