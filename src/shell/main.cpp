// gx520's start: the command line answered, the real platform pieces made, the main window shown.

#include "commandline.h"
#include "formmonitor.h"
#include "program.h"

#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/filedialogs.h"
#include "platform/filestore.h"
#include "platform/printer.h"
#include "platform/qtserialport.h"
#include "platform/settingsstore.h"
#include "platform/waiter.h"

#include <QApplication>

int main(int argc, char** argv)
{
    if (const int answered = gx::answerCommandLine(argc, argv); answered >= 0)
        return answered;
    QApplication app(argc, argv);
    if (const int refused = gx::refuseLeftArguments(app.arguments()); refused >= 0)
        return refused;
    QApplication::setApplicationName(QStringLiteral("GX520"));

    gx::SteadyClock clock;
    gx::EventLoopWaiter waiter(clock);
    gx::QtSettingsStore settings;
    gx::QtDialogs dialogs;
    gx::QtDesktop desktop;
    gx::QtSerialPort port(settings);
    gx::QtFileDialogs fileDialogs;
    gx::FileStore files;
    gx::QtPrinter printer;

    gx::FormMonitor window({port, clock, waiter, settings, dialogs, desktop, fileDialogs, files, printer});
    dialogs.setParent(&window);
    fileDialogs.setParent(&window);
    printer.setParent(&window);
    gx::installProgram(window);
    window.Form_Load();
    window.show();
    return app.exec();
}
