#pragma once

// The commands of the monitor's buttons and mode pictures: one byte on the
// direct line, a switch write on the RS485 network.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace gx {

struct ControlCommand {
    char directByte = 0;
    int switchNumber = 0;
    bool operator==(const ControlCommand&) const = default;
};

// CommandControl(index): 0 Gen Start, 1 Gen Stop, 2 Re-load, 3 Remote test,
// 5 Fault Reset, 6 Output A, 7 Output B. Alarm Mute (4), Quit (8) and any other
// index send nothing.
std::optional<ControlCommand> commandForButton(int index);

// ImageButton(index): 0 AUTO mode; 1 manual start when in MAN, else MAN mode;
// 2 manual stop when in MAN, else MAN mode.
std::optional<ControlCommand> commandForImage(int index, bool inManMode);

// The commands a remote user gives by name (the command topic of gxctl serve):
// "start" (Gen Start), "stop" (Gen Stop), "reset" (Fault Reset), "mute" (Alarm
// Mute), "auto" (AUTO mode), "manual" (MAN mode), "test" (Remote test).
const QStringList& remoteCommandNames();
// The command a name stands for; nothing for "mute", which, as on the monitor,
// sends nothing, and for a name that is not one of them.
std::optional<ControlCommand> commandNamed(const QString& name);

// The name a monitor control stands for on a remote view, which sends names:
// CommandControl 0 "start", 1 "stop", 3 "test", 4 "mute", 5 "reset";
// ImageButton 0 "auto", 1 and 2 "manual" when not in MAN. "" for the others
// (Re-load, Output A and B, Quit, the manual start and stop of MAN mode),
// which have no name.
QString remoteNameOfButton(int index);
QString remoteNameOfImage(int index, bool inManMode);

// The bytes to send: the command byte, or the switch write frame for `address`.
QByteArray commandBytes(const ControlCommand& command, bool networkMode, int address);

} // namespace gx
