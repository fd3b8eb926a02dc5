// Finding and reading limits.txt, with a message naming the file, line and field when it is malformed.

#include "profile/limits.h"

#include "profile/fieldreader.h"
#include "profile/tables.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace gx {

bool isEditedTimer(int slot)
{
    return (slot >= 0 && slot <= 9) || slot == 13;
}

bool isEditedSysValue(int slot)
{
    return slot >= 0 && slot <= 27;
}

bool isEditedSwitchRecord(int record)
{
    return (record >= 0 && record <= 14) || (record >= 16 && record <= 22)
        || (record >= 24 && record <= 27) || record == 32 || record == 33;
}

bool isEditedMessage(int slot)
{
    return slot >= 0 && slot <= 5;
}

bool isEditedPin(int slot)
{
    return slot >= 0 && slot <= 3;
}

namespace {

struct LimitsError {
    int line;
    QString what;
};

// The field reader with the checks every limits value needs; a failure ends
// the whole read.
class LimitsInput {
public:
    explicit LimitsInput(const QByteArray& contents)
        : m_reader(contents)
    {
    }

    int number(const QString& what)
    {
        const std::optional<qint64> v = m_reader.readNumber();
        if (!v) {
            if (m_reader.pastEnd())
                throw LimitsError{m_reader.line(),
                                  QStringLiteral("the file ends where %1 was expected").arg(what)};
            throw LimitsError{m_reader.line(),
                              QStringLiteral("%1 should be a whole number but is \"%2\"")
                                  .arg(what, m_reader.lastField())};
        }
        if (*v < -32768 || *v > 32767)
            throw LimitsError{m_reader.line(),
                              QStringLiteral("%1 is %2, outside -32768 to 32767").arg(what).arg(*v)};
        return int(*v);
    }

    QString text(const QString& what)
    {
        const std::optional<QString> v = m_reader.readText();
        if (!v)
            throw LimitsError{m_reader.line(),
                              QStringLiteral("the file ends where %1 was expected").arg(what)};
        return *v;
    }

    int line() const { return m_reader.line(); }

private:
    FieldReader m_reader;
};

QString rangeText(int low, int high)
{
    return QStringLiteral("%1 to %2").arg(low).arg(high);
}

ProgramLimits readAll(LimitsInput& in)
{
    ProgramLimits limits;

    for (int i = 0; i < 16; ++i) {
        auto& t = limits.TimerLimit[i];
        const QString name = QStringLiteral("timer %1").arg(i);
        t.TimerNumber = in.number(QStringLiteral("the number of ") + name);
        t.TimerName = in.text(QStringLiteral("the name of ") + name);
        t.TimerLowLimit = in.number(QStringLiteral("the low limit of ") + name);
        t.TimerHighLimit = in.number(QStringLiteral("the high limit of ") + name);
        t.TimerDefault = in.number(QStringLiteral("the default of ") + name);
        if (isEditedTimer(i)) {
            const qint64 low = floorDiv(t.TimerLowLimit, 10);
            const qint64 high = floorDiv(t.TimerHighLimit, 10);
            const qint64 def = floorDiv(t.TimerDefault, 10);
            if (low > high)
                throw LimitsError{in.line(), QStringLiteral("the low limit of %1 (%2) is above its high limit (%3)")
                                                 .arg(name).arg(t.TimerLowLimit).arg(t.TimerHighLimit)};
            if (def < low || def > high)
                throw LimitsError{in.line(),
                                  QStringLiteral("the default of %1 (%2 tenths, %3 s) is outside its range "
                                                 "of %4 seconds")
                                      .arg(name).arg(t.TimerDefault).arg(def)
                                      .arg(rangeText(int(low), int(high)))};
        }
    }
    in.text(QStringLiteral("the heading before the system values"));

    for (int i = 0; i < 32; ++i) {
        auto& s = limits.SysValLimit[i];
        const QString name = QStringLiteral("system value %1").arg(i);
        s.SysValNumber = in.number(QStringLiteral("the number of ") + name);
        s.SysValName = in.text(QStringLiteral("the name of ") + name);
        s.SysValLowLimit = in.number(QStringLiteral("the low limit of ") + name);
        s.SysvalHighLimit = in.number(QStringLiteral("the high limit of ") + name);
        s.SysValDefault = in.number(QStringLiteral("the default of ") + name);
        if (isEditedSysValue(i)) {
            if (s.SysValLowLimit > s.SysvalHighLimit)
                throw LimitsError{in.line(), QStringLiteral("the low limit of %1 (%2) is above its high limit (%3)")
                                                 .arg(name).arg(s.SysValLowLimit).arg(s.SysvalHighLimit)};
            if (s.SysValDefault < s.SysValLowLimit || s.SysValDefault > s.SysvalHighLimit)
                throw LimitsError{in.line(), QStringLiteral("the default of %1 (%2) is outside its range %3")
                                                 .arg(name).arg(s.SysValDefault)
                                                 .arg(rangeText(s.SysValLowLimit, s.SysvalHighLimit))};
        }
    }
    in.text(QStringLiteral("the heading before the switches"));

    for (int i = 0; i < 40; ++i) {
        auto& w = limits.SwitchLimit[i];
        const QString name = QStringLiteral("switch record %1").arg(i);
        w.SwNumber = in.number(QStringLiteral("the number of ") + name);
        const int numberLine = in.line();
        if ((isEditedSwitchRecord(i) || isEditedSwitchRecord(w.SwNumber)) && w.SwNumber != i)
            throw LimitsError{numberLine, QStringLiteral("%1 is numbered %2; the switch records must be "
                                                         "listed in slot order, numbered from 0")
                                              .arg(name).arg(w.SwNumber)};
        w.SwName = in.text(QStringLiteral("the name of ") + name);
        w.SwOptions = in.number(QStringLiteral("the highest option number of ") + name);
        if (w.SwOptions < 0 || w.SwOptions > 255)
            throw LimitsError{in.line(), QStringLiteral("the highest option number of %1 is %2; it must be "
                                                        "0 to 255")
                                             .arg(name).arg(w.SwOptions)};
        w.SwDefault = in.number(QStringLiteral("the default option of ") + name);
        const int defaultLine = in.line();
        for (int k = 0; k <= w.SwOptions; ++k) {
            in.number(QStringLiteral("the number of option %1 of %2").arg(k).arg(name));
            w.OptionLabel.append(in.text(QStringLiteral("the label of option %1 of %2").arg(k).arg(name)));
        }
        if (isEditedSwitchRecord(i) && (w.SwDefault < 0 || w.SwDefault > w.SwOptions))
            throw LimitsError{defaultLine, QStringLiteral("the default option of %1 (%2) is not one of its "
                                                          "options 0 to %3")
                                               .arg(name).arg(w.SwDefault).arg(w.SwOptions)};
    }
    in.text(QStringLiteral("the heading before the messages"));

    for (int i = 0; i < 8; ++i) {
        auto& m = limits.MessageLimit[i];
        const QString name = QStringLiteral("message %1").arg(i);
        m.MessageNumber = in.number(QStringLiteral("the number of ") + name);
        m.MessageTitle = in.text(QStringLiteral("the title of ") + name);
        m.MessageText = in.text(QStringLiteral("the text of ") + name);
        if (m.MessageText.size() > 16)
            throw LimitsError{in.line(), QStringLiteral("the text of %1 (\"%2\") is longer than 16 characters")
                                             .arg(name, m.MessageText)};
        m.MessageText = m.MessageText.leftJustified(16, QLatin1Char(' '));
    }
    in.text(QStringLiteral("the heading before the PINs"));

    for (int i = 0; i < 8; ++i) {
        auto& p = limits.PinLimit[i];
        const QString name = QStringLiteral("PIN %1").arg(i);
        p.PINnumber = in.number(QStringLiteral("the number of ") + name);
        p.PINtitle = in.text(QStringLiteral("the title of ") + name);
        p.PINdefault = in.text(QStringLiteral("the default of ") + name);
        if (p.PINdefault.size() > 4)
            throw LimitsError{in.line(), QStringLiteral("the default of %1 (\"%2\") is longer than 4 characters")
                                             .arg(name, p.PINdefault)};
    }
    return limits;
}

} // namespace

std::optional<ProgramLimits> readProgramLimits(const QByteArray& contents, const QString& fileName,
                                               QString* error)
{
    LimitsInput in(contents);
    try {
        ProgramLimits limits = readAll(in);
        if (error)
            error->clear();
        return limits;
    } catch (const LimitsError& e) {
        if (error)
            *error = QStringLiteral("%1, line %2: %3.").arg(QDir::toNativeSeparators(fileName)).arg(e.line).arg(e.what);
        return std::nullopt;
    }
}

QStringList limitsFileFolders(const QString& startFolder)
{
    QStringList folders;
    if (!startFolder.isEmpty())
        folders << startFolder;
    const QString appDir = QCoreApplication::applicationDirPath();
    if (!appDir.isEmpty()) {
        folders << QDir::cleanPath(appDir + QStringLiteral("/data"));
        folders << QDir::cleanPath(appDir + QStringLiteral("/../share/gx520"));
    }
    return folders;
}

QString findDataFile(const QString& name, const QString& startFolder)
{
    for (const QString& folder : limitsFileFolders(startFolder)) {
        const QFileInfo info(QDir(folder), name);
        if (info.isFile())
            return info.filePath();
    }
    return QString();
}

QString findLimitsFile(const QString& startFolder)
{
    return findDataFile(QStringLiteral("limits.txt"), startFolder);
}

std::optional<ProgramLimits> loadProgramLimits(const QString& startFolder, QString* error,
                                               QString* usedPath)
{
    const QString path = findLimitsFile(startFolder);
    if (usedPath)
        *usedPath = path;
    if (path.isEmpty()) {
        QStringList where;
        for (const QString& folder : limitsFileFolders(startFolder))
            where << QDir::toNativeSeparators(folder);
        if (error)
            *error = QStringLiteral("The limits file \"limits.txt\" was not found in %1.")
                         .arg(where.join(QStringLiteral(", ")));
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1 cannot be read: %2.").arg(QDir::toNativeSeparators(path), file.errorString());
        return std::nullopt;
    }
    return readProgramLimits(file.readAll(), path, error);
}

} // namespace gx
