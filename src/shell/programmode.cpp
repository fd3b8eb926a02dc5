// Program mode's File items: upload, download, open, save and print a profile, with the limits read first.

#include "programmode.h"

#include "formmonitor.h"
#include "statuswindows.h"

#include "link/link.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/filedialogs.h"
#include "platform/filestore.h"
#include "platform/printer.h"
#include "platform/waiter.h"
#include "profile/limits.h"
#include "profile/printout.h"
#include "profile/profileeditor.h"
#include "profile/profilefile.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QGroupBox>
#include <QTabBar>

namespace gx {

const QString ProgramMode::ProfileFilter = QStringLiteral("GX510-520 profile (*.510;*.520)|*.510;*.520");

namespace {

const QString Title = QStringLiteral("GX510-520");

std::array<QWidget*, 9> pagesOf(FormMonitor& w)
{
    std::array<QWidget*, 9> pages{};
    for (size_t i = 0; i < pages.size(); ++i)
        pages[i] = w.Frame1[i];
    return pages;
}

// The hourglass while the print-out is made.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

// A menu entry disabled while its operation runs, enabled again however it ends.
struct DisabledWhile {
    explicit DisabledWhile(QAction* a) : action(a) { action->setEnabled(false); }
    ~DisabledWhile() { action->setEnabled(true); }
    QAction* action;
};

} // namespace

ProgramMode::ProgramMode(FormMonitor& window)
    : QObject(&window), m_window(window),
      m_editor(std::make_unique<ProfileEditor>(pagesOf(window), &window.ProfileChanged))
{
    window.buildTables = [this] { setupProgramLimits(); };
    const std::pair<QAction*, void (ProgramMode::*)()> items[] = {
        {window.menuLoadGX510, &ProgramMode::menuLoadGX510_Click},
        {window.menuSaveGX510, &ProgramMode::menuSaveGX510_Click},
        {window.menuSaveDisk, &ProgramMode::menuSaveDisk_Click},
        {window.menuLoadDisk, &ProgramMode::menuLoaddisk_Click},
        {window.menuPrintProfile, &ProgramMode::menuPrintProfile_Click},
        {window.menuPrinterSetup, &ProgramMode::menuPrinterSetup_Click},
    };
    for (const auto& [action, handler] : items)
        QObject::connect(action, &QAction::triggered, this, [this, handler = handler] { (this->*handler)(); });
}

ProgramMode::~ProgramMode() = default;

void ProgramMode::setupProgramLimits()
{
    QString error;
    m_limits = loadProgramLimits(m_window.ProgramDirectory, &error);
    if (!m_limits) {
        m_window.ProgramScreensAvailable = false;
        m_window.platform().dialogs.inform(
            error + QStringLiteral("\n\nMonitoring works as usual; the program screens stay unavailable "
                                   "until the file is mended and the program started again."),
            Title);
        return;
    }
    m_window.ProgramScreensAvailable = true;
    m_editor->applyLimits(*m_limits);
}

void ProgramMode::reportAdjustments(const QList<ValueAdjustment>& adjustments, const QString& source)
{
    if (adjustments.isEmpty())
        return;
    QStringList lines;
    for (const ValueAdjustment& a : adjustments)
        lines << QStringLiteral("%1  %2 %3, shown as %4").arg(a.setting, source, a.controllerValue, a.shownValue);
    m_window.platform().dialogs.inform(
        QStringLiteral("Some settings lie outside the ranges of limits.txt and are shown changed:\n\n")
            + lines.join(QLatin1Char('\n'))
            + QStringLiteral("\n\nNothing is written back unless you save or download the profile."),
        Title);
}

void ProgramMode::stopMonitorIfRunning()
{
    if (m_window.InMonitor || m_window.StatusUpdate)
        m_window.stopMonitor();
}

void ProgramMode::menuLoadGX510_Click()
{
    FormMonitor& w = m_window;
    Link& link = w.link();
    const OperationScope uploading(w, Operation::Upload);
    const bool editorWasShown = w.editorShown();
    link.NetworkMode = false;
    w.stopMonitor();
    // However the upload ends, one screen shows: the editor with the new
    // profile, or the screen the user came from.
    auto restore = [&] {
        if (editorWasShown)
            w.showEditorScreen();
        else
            w.showStartScreen();
    };
    if (!w.ProgramScreensAvailable) {
        w.platform().dialogs.inform(QStringLiteral("The program screens are unavailable: limits.txt could "
                                                   "not be read at start-up."),
                                    Title);
        return restore();
    }
    if (w.ProfileChanged
        && w.platform().dialogs.askOkCancel(QStringLiteral("Discard current profile?"),
                                            QStringLiteral("Profile changed"))
               == Dialogs::Cancel)
        return restore();
    w.statusWindows().displayStatus(QStringLiteral("Uploading from Genpilot.."), 0, 0);
    link.ProgStatus.clear();
    link.uploadProfile();
    if (!link.ProgStatus.isEmpty())
        return restore();
    if (w.waiter().closing())
        return restore();
    link.uploadProfileText();
    if (!link.ProgStatus.isEmpty())
        return restore();
    const QList<ValueAdjustment> adjusted = m_editor->loadUploadedProfile(link.uploadedProfile, link.TextReply);

    w.showEditorScreen();
    w.CurrentProfileName = QStringLiteral("<520 upload>");
    w.showProfileCaption();
    w.ProfileChanged = false;
    w.statusWindows().displayStatus(QStringLiteral("Upload successful"), 1, 0);
    reportAdjustments(adjusted, QStringLiteral("controller value"));
}

void ProgramMode::menuSaveGX510_Click()
{
    FormMonitor& w = m_window;
    QString problem;
    const auto data = Link::prepareDownload(m_editor->workingProfile(), &problem);
    if (!data) {
        w.platform().dialogs.inform(QStringLiteral("The profile cannot be downloaded: %1.\n\nNothing has been "
                                                   "sent to the controller.")
                                        .arg(problem),
                                    Title);
        return;
    }
    const OperationScope downloading(w, Operation::Download);
    w.link().downloadProfile(data->image, data->text, [&w] {
        w.CurrentProfileName = QStringLiteral("<520 download>");
        w.showProfileCaption();
    });
}

void ProgramMode::menuSaveDisk_Click()
{
    FormMonitor& w = m_window;
    w.link().NetworkMode = false;
    const QString path = w.platform().fileDialogs.getSaveFileName(QStringLiteral("GX510-520 Profile save"),
                                                                   profilesFolder(), ProfileFilter);
    if (path.isEmpty())
        return;
    QString why;
    if (!w.platform().files.write(path, writeProfileFile(m_editor->workingProfile()), &why)) {
        w.platform().dialogs.inform(QStringLiteral("The profile could not be saved to %1: %2.\n\nA file that "
                                                   "was there before is unchanged.")
                                        .arg(QDir::toNativeSeparators(path), why),
                                    Title);
        return;
    }
    w.CurrentProfileName = path;
    w.showProfileCaption();
    w.statusWindows().displayStatus(QStringLiteral("Profile stored"), 1, 0);
}

void ProgramMode::menuLoaddisk_Click()
{
    FormMonitor& w = m_window;
    w.link().NetworkMode = false;
    if (w.ProfileChanged
        && w.platform().dialogs.askOkCancel(QStringLiteral("Discard current profile?"),
                                            QStringLiteral("Profile changed"))
               == Dialogs::Cancel)
        return;
    const QString path = w.platform().fileDialogs.getOpenFileName(QStringLiteral("GX510-520 Profile load"),
                                                                   profilesFolder(), ProfileFilter);
    if (path.isEmpty())
        return;
    // The whole file is read and checked before anything of it reaches the
    // pages: a file that breaks the layout leaves the working profile as it was.
    QString why;
    const std::optional<QByteArray> bytes = w.platform().files.read(path, &why);
    if (!bytes) {
        w.platform().dialogs.inform(
            QStringLiteral("The profile file %1 could not be opened: %2.").arg(QDir::toNativeSeparators(path), why),
            Title);
        return;
    }
    const ProfileFileContents contents = readProfileFile(*bytes);
    if (!contents.ok()) {
        w.platform().dialogs.inform(QStringLiteral("This is not a profile file that the program can read; "
                                                   "nothing has been loaded.\n\n")
                                        + describeProblems(path, contents.problems),
                                    Title);
        return;
    }
    const QList<ValueAdjustment> adjusted = m_editor->setWorkingProfile(contents.profile);
    w.CurrentProfileName = path;
    w.showProfileCaption();
    w.ProfileChanged = false;
    w.menuMain->setChecked(false);
    w.MonitorMenu->setChecked(false);
    w.menuProgram->setChecked(true);
    w.CommandProgram_Click();
    w.statusWindows().displayStatus(QStringLiteral("Opened successfully"), 1, 0);
    reportAdjustments(adjusted, QStringLiteral("file value"));
}

void ProgramMode::menuPrintProfile_Click()
{
    FormMonitor& w = m_window;
    const bool editorWasShown = w.editorShown();
    stopMonitorIfRunning();
    if (editorWasShown)
        w.showEditorScreen();
    const DisabledWhile busy(w.menuPrintProfile);
    std::optional<PrintDocument> document;
    {
        const WaitCursor hourglass;
        const QString path = findPrintDataFile(w.ProgramDirectory);
        QString why;
        std::optional<QByteArray> bytes;
        if (path.isEmpty())
            why = QStringLiteral("The print-out's headings and titles file \"print_data.txt\" was not found in %1.")
                      .arg(limitsFileFolders(w.ProgramDirectory).join(QStringLiteral(", ")));
        else if (!(bytes = w.platform().files.read(path, &why)))
            why = QStringLiteral("%1 cannot be read: %2.").arg(QDir::toNativeSeparators(path), why);
        std::optional<PrintData> data;
        if (bytes)
            data = readPrintData(*bytes, path, &why);
        if (!data || !m_limits) {
            if (!m_limits)
                why = QStringLiteral("The option texts are unavailable: limits.txt could not be read at start-up.");
            w.platform().dialogs.inform(why + QStringLiteral("\n\nNothing has been printed."), Title);
            return;
        }
        document = profilePrintout(m_editor->workingProfile(), *m_limits, *data, QDateTime::currentDateTime());
    }
    QString why;
    if (w.platform().printer.print(*document, &why) == Printer::Outcome::Failed)
        w.platform().dialogs.inform(QStringLiteral("The profile could not be printed: %1.").arg(why), Title);
}

void ProgramMode::menuPrinterSetup_Click()
{
    const DisabledWhile busy(m_window.menuPrinterSetup);
    const bool editorWasShown = m_window.editorShown();
    stopMonitorIfRunning();
    if (editorWasShown)
        m_window.showEditorScreen();
    m_window.platform().printer.setup();
}

} // namespace gx
