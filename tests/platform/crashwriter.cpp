// Rewrites one of the program's files again and again, each time a little
// longer, until it is killed: crashwriter calllog|settings PATH.
// It prints the round it has finished after each write.

#include "platform/filestore.h"
#include "platform/settingsstore.h"
#include "remote/calllog.h"

#include <QCoreApplication>

#include <cstdio>

using namespace gx;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QByteArray kind = argv[1];
    const QString path = QString::fromLocal8Bit(argv[2]);
    FileStore files;
    QtSettingsStore settings;
    for (;;) {
        // Each round goes on from what the file holds, across restarts.
        QString why;
        const QByteArray before = files.read(path, &why).value_or(QByteArray());
        long round = 1;
        QByteArray after;
        if (kind == "calllog") {
            round = long(calllog::recordLines(before).size()) + 1;
            after = calllog::withNewRecord(before, "Site", QDateTime::currentDateTime(), "000001.00",
                                           QString(200, QLatin1Char('f')));
        } else if (kind == "settings") {
            round = settings.setting(QStringLiteral("Round")).toLong() + 1;
            settings.setSetting(QStringLiteral("Round"), QString::number(round));
            settings.setSetting(QStringLiteral("Padding"), QString(int(round % 500) + 100, QLatin1Char('p')));
            std::printf("%ld\n", round);
            std::fflush(stdout);
            continue;
        } else {
            return 2;
        }
        if (!files.write(path, after, &why))
            return 1;
        std::printf("%ld\n", round);
        std::fflush(stdout);
    }
}
