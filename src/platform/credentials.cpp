// Reading and writing the credentials file of a broker connection.

#include "credentials.h"

#include "filestore.h"

#include <QFile>
#include <QStringList>

#include <sys/stat.h>

namespace gx {

namespace {
constexpr qint64 Largest = 64 * 1024;

bool refuse(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}
} // namespace

std::optional<Credentials> readCredentialsFile(const QString& path, QString* error)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
        refuse(error, QStringLiteral("%1 cannot be read: there is no such file").arg(path));
        return std::nullopt;
    }
    if (st.st_mode & (S_IROTH | S_IWOTH)) {
        refuse(error, QStringLiteral("%1 can be read by other users; make it readable by its owner alone "
                                     "(chmod 600 %1)").arg(path));
        return std::nullopt;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        refuse(error, QStringLiteral("%1 cannot be read: %2").arg(path, f.errorString()));
        return std::nullopt;
    }
    const QByteArray bytes = f.read(Largest + 1);
    if (bytes.size() > Largest) {
        refuse(error, QStringLiteral("%1 cannot be read: it is larger than 64 KiB").arg(path));
        return std::nullopt;
    }
    QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    for (QString& l : lines)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.size() != 2 || lines[0].trimmed().isEmpty()) {
        refuse(error, QStringLiteral("%1 must hold the user name on its first line and the password on its "
                                     "second").arg(path));
        return std::nullopt;
    }
    return Credentials{lines[0].trimmed(), lines[1]};
}

QByteArray credentialsText(const Credentials& c)
{
    return (c.user + QLatin1Char('\n') + c.password + QLatin1Char('\n')).toUtf8();
}

bool writeCredentialsFile(FileStore& files, const QString& path, const Credentials& c, QString* error)
{
    return files.writePrivate(path, credentialsText(c), error);
}

} // namespace gx
