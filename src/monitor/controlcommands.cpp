// Which command each monitor button and mode picture sends, their remote names, and the bytes that carry them.

#include "controlcommands.h"

#include "link/protocol.h"

namespace gx {

namespace {
constexpr ControlCommand AutoMode{cmd::AutoMode, 9};
constexpr ControlCommand ManMode{cmd::ManMode, 8};
constexpr ControlCommand ManualStart{cmd::ManualStart, 10};
constexpr ControlCommand ManualStop{cmd::ManualStop, 11};
} // namespace

std::optional<ControlCommand> commandForButton(int index)
{
    switch (index) {
    case 0: return ControlCommand{cmd::GenStart, 1};
    case 1: return ControlCommand{cmd::GenStop, 2};
    case 2: return ControlCommand{cmd::Reload, 3};
    case 3: return ControlCommand{cmd::RemoteTest, 6};
    case 5: return ControlCommand{cmd::FaultReset, 0};
    case 6: return ControlCommand{cmd::OutputA, 4};
    case 7: return ControlCommand{cmd::OutputB, 5};
    default: return std::nullopt;
    }
}

std::optional<ControlCommand> commandForImage(int index, bool inManMode)
{
    switch (index) {
    case 0: return AutoMode;
    case 1: return inManMode ? ManualStart : ManMode;
    case 2: return inManMode ? ManualStop : ManMode;
    default: return std::nullopt;
    }
}

const QStringList& remoteCommandNames()
{
    static const QStringList names{QStringLiteral("start"), QStringLiteral("stop"),   QStringLiteral("reset"),
                                   QStringLiteral("mute"),  QStringLiteral("auto"),   QStringLiteral("manual"),
                                   QStringLiteral("test")};
    return names;
}

std::optional<ControlCommand> commandNamed(const QString& name)
{
    static const struct {
        const char* name;
        int button;  // of the monitor's command buttons; -1: a mode picture
        int picture;
    } table[] = {{"start", 0, 0}, {"stop", 1, 0}, {"reset", 5, 0}, {"test", 3, 0}, {"auto", -1, 0}, {"manual", -1, 1}};
    for (const auto& row : table)
        if (name == QLatin1String(row.name))
            return row.button >= 0 ? commandForButton(row.button) : commandForImage(row.picture, false);
    return std::nullopt;
}

QString remoteNameOfButton(int index)
{
    switch (index) {
    case 0: return QStringLiteral("start");
    case 1: return QStringLiteral("stop");
    case 3: return QStringLiteral("test");
    case 4: return QStringLiteral("mute");
    case 5: return QStringLiteral("reset");
    default: return QString();
    }
}

QString remoteNameOfImage(int index, bool inManMode)
{
    if (index == 0)
        return QStringLiteral("auto");
    if ((index == 1 || index == 2) && !inManMode)
        return QStringLiteral("manual");
    return QString();
}

QByteArray commandBytes(const ControlCommand& command, bool networkMode, int address)
{
    if (networkMode)
        return net::switchFrame(address, command.switchNumber);
    return QByteArray(1, command.directByte);
}

} // namespace gx
