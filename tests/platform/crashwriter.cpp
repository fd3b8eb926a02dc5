// Rewrites a call log again and again, each time a record longer, until it
// is killed: crashwriter PATH.
// It prints the round it has finished after each write.

#include "platform/filestore.h"
#include "remote/calllog.h"

#include <QCoreApplication>

#include <cstdio>

using namespace gx;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    FileStore files;
    for (;;) {
        // Each round goes on from what the file holds, across restarts.
        QString why;
        const QByteArray before = files.read(path, &why).value_or(QByteArray());
        const long round = long(calllog::recordLines(before).size()) + 1;
        const QByteArray after = calllog::withNewRecord(before, "Site", QDateTime::currentDateTime(), "000001.00",
                                                        QString(200, QLatin1Char('f')));
        if (!files.write(path, after, &why))
            return 1;
        std::printf("%ld\n", round);
        std::fflush(stdout);
    }
}
