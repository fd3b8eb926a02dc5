// Runs every input of a committed corpus through its reader, as the fuzzer
// would: replay TARGET FOLDER. An input that once crashed a reader stays in
// the corpus, so the crash stays fixed.

#include "targets.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const gxfuzz::Target target = gxfuzz::byName(argv[1]);
    if (!target) {
        std::fprintf(stderr, "replay: no target %s\n", argv[1]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[2]));
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    for (const QString& name : files) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            return 1;
        const QByteArray bytes = f.readAll();
        target(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
    }
    std::printf("replay %s: %lld inputs, none crashed\n", argv[1], static_cast<long long>(files.size()));
    return files.isEmpty() ? 1 : 0;
}
