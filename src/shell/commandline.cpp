// The help text of gx520, its --help and --version answers, and the refusal of any other argument.

#include "shell/commandline.h"

#include <cstdio>
#include <cstring>

namespace gx {

const char* programHelp()
{
    return "Usage: gx520 [--help] [--version]\n"
           "\n"
           "The GX510-520 Program / Monitor, for the engineers who look after diesel\n"
           "generator sets run by GX510 and GX520 controllers. Over a serial line at\n"
           "9600 baud (a COM port, an RS485 network of up to 15 controllers, a dial-up\n"
           "modem, or a serial gateway on TCP) it reads a controller's profile, edits\n"
           "it within the ranges of limits.txt, writes it back, saves, opens and prints\n"
           "it; monitors a running controller live; polls an RS485 network; answers\n"
           "the fault calls of remote controllers into a call log; and shows every site\n"
           "that gxctl serve publishes to an MQTT broker on its fleet board (View >\n"
           "Fleet). Everything is chosen in its window: the ports and the broker in\n"
           "Settings > Com Ports.\n"
           "\n"
           "Options:\n"
           "  -h, --help     this text\n"
           "  --version      the version of the program\n"
           "\n"
           "Files:\n"
           "  limits.txt, print_data.txt\n"
           "                 the ranges and option texts, the print-out's titles: from\n"
           "                 the folder the program starts in, else /usr/share/gx520\n"
           "  address.txt, faultlog.txt\n"
           "                 the address book and the call log, in the start folder\n"
           "                 (~/.local/share/GX520 when it cannot be written)\n"
           "  ~/.config/GX520/GX520.ini\n"
           "                 the settings: the COM ports and their devices, the modem\n"
           "                 strings, the last number dialled, the fleet board's broker\n"
           "  ~/.local/share/GX520/service-reminders.json, fleet.credentials\n"
           "                 the fleet board's service reminders; the broker's user\n"
           "                 name and password (readable by the user alone)\n"
           "\n"
           "Serial ports: the user must be in the group dialout (sudo adduser $USER\n"
           "dialout, then log in again). A port that will not open is named with its\n"
           "device, the cause and the remedy.\n"
           "\n"
           "See also: gxctl(1), the same work from the command line.\n";
}

int answerCommandLine(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(programHelp(), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("gx520 %s\n", GX_VERSION);
            return 0;
        }
    }
    return -1;
}

int refuseLeftArguments(const QStringList& arguments)
{
    if (arguments.size() < 2)
        return -1;
    std::fprintf(stderr, "gx520: \"%s\" is not an argument it understands\nUsage: gx520 [--help] [--version]\n",
                 qPrintable(arguments[1]));
    return 2;
}

} // namespace gx
