#pragma once

// The ranges, defaults and option lists of limits.txt, and which profile slots the editor pages show.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace gx {

// Ranges, defaults and option lists of the profile's edited slots, as read
// from "limits.txt". Numbers are in the units of the file: timers in tenths
// of a second, system values in the slot's own unit (slot 17 in tenths).
struct TimerLimitRecord {
    int TimerNumber = 0;
    QString TimerName;
    int TimerLowLimit = 0;
    int TimerHighLimit = 0;
    int TimerDefault = 0;
};

struct SysValLimitRecord {
    int SysValNumber = 0;
    QString SysValName;
    int SysValLowLimit = 0;
    int SysvalHighLimit = 0;
    int SysValDefault = 0;
};

struct SwitchLimitRecord {
    int SwNumber = 0;
    QString SwName;
    int SwOptions = 0;        // highest option number: options 0..SwOptions
    int SwDefault = 0;        // an option number
    QStringList OptionLabel;  // SwOptions + 1 labels, in file order
};

struct MessageLimitRecord {
    int MessageNumber = 0;
    QString MessageTitle;
    QString MessageText;  // padded with blanks to 16 characters
};

struct PinLimitRecord {
    int PINnumber = 0;
    QString PINtitle;
    QString PINdefault;
};

struct ProgramLimits {
    std::array<TimerLimitRecord, 16> TimerLimit;
    std::array<SysValLimitRecord, 32> SysValLimit;
    // Records 0-31 belong to SwSwitch 0-31, records 32-39 to AlogSensor 0-7.
    std::array<SwitchLimitRecord, 40> SwitchLimit;
    std::array<MessageLimitRecord, 8> MessageLimit;
    std::array<PinLimitRecord, 8> PinLimit;
};

// The slots that the editor pages show.
bool isEditedTimer(int slot);         // 0-9, 13
bool isEditedSysValue(int slot);      // 0-27
bool isEditedSwitchRecord(int record);  // 0-14, 16-22, 24-27, 32, 33
bool isEditedMessage(int slot);       // 0-5
bool isEditedPin(int slot);           // 0-3

// Reads the contents of a limits file. On success returns the limits; on
// failure returns nothing and sets *error to a message that names the file
// (fileName), the line and what was wrong. Nothing after the PIN section is
// read.
std::optional<ProgramLimits> readProgramLimits(const QByteArray& contents, const QString& fileName,
                                               QString* error);

// Where "limits.txt" is found: in startFolder (the current directory at
// start-up), else in the program's installed data folders
// (applicationDirPath()/data, then applicationDirPath()/../share/gx520).
// Returns "" when it is in none of them.
QString findLimitsFile(const QString& startFolder);

// The same search for another data file of the program ("print_data.txt").
QString findDataFile(const QString& name, const QString& startFolder);

// The folders findLimitsFile looks in, in order.
QStringList limitsFileFolders(const QString& startFolder);

// Finds and reads "limits.txt". On failure *error says why (file not found,
// cannot be read, or malformed) and nothing is returned.
std::optional<ProgramLimits> loadProgramLimits(const QString& startFolder, QString* error,
                                               QString* usedPath = nullptr);

} // namespace gx
