#include "programmode.h"

#include "formmonitor.h"
#include "statuswindows.h"

#include "link/link.h"
#include "platform/dialogs.h"
#include "platform/waiter.h"
#include "profile/limits.h"
#include "profile/profileeditor.h"

#include <QAction>
#include <QGroupBox>
#include <QTabBar>

namespace gx {

namespace {
std::array<QWidget*, 9> pagesOf(FormMonitor& w)
{
    std::array<QWidget*, 9> pages{};
    for (size_t i = 0; i < pages.size(); ++i)
        pages[i] = w.Frame1[i];
    return pages;
}
} // namespace

ProgramMode::ProgramMode(FormMonitor& window)
    : QObject(&window), m_window(window),
      m_editor(std::make_unique<ProfileEditor>(pagesOf(window), &window.ProfileChanged))
{
    window.buildTables = [this] { setupProgramLimits(); };
    QObject::connect(window.menuLoadGX510, &QAction::triggered, this, [this] { menuLoadGX510_Click(); });
}

ProgramMode::~ProgramMode() = default;

void ProgramMode::setupProgramLimits()
{
    QString error;
    const auto limits = loadProgramLimits(m_window.ProgramDirectory, &error);
    if (!limits) {
        m_window.ProgramScreensAvailable = false;
        m_window.platform().dialogs.inform(
            error + QStringLiteral("\n\nMonitoring works as usual; the program screens stay unavailable "
                                   "until the file is mended and the program started again."),
            QStringLiteral("GX510-520"));
        return;
    }
    m_window.ProgramScreensAvailable = true;
    m_editor->applyLimits(*limits);
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
        QStringLiteral("GX510-520"));
}

void ProgramMode::menuLoadGX510_Click()
{
    FormMonitor& w = m_window;
    Link& link = w.link();
    link.NetworkMode = false;
    w.stopMonitor();
    if (!w.ProgramScreensAvailable) {
        w.platform().dialogs.inform(QStringLiteral("The program screens are unavailable: limits.txt could "
                                                   "not be read at start-up."),
                                    QStringLiteral("GX510-520"));
        return;
    }
    if (w.ProfileChanged
        && w.platform().dialogs.askOkCancel(QStringLiteral("Discard current profile?"),
                                            QStringLiteral("Profile changed"))
               == Dialogs::Cancel)
        return;
    w.statusWindows().displayStatus(QStringLiteral("Uploading from Genpilot.."), 0, 0);
    link.ProgStatus.clear();
    link.uploadProfile();
    if (!link.ProgStatus.isEmpty())
        return;
    link.uploadProfileText();
    if (!link.ProgStatus.isEmpty())
        return;
    const QList<ValueAdjustment> adjusted = m_editor->loadUploadedProfile(link.uploadedProfile, link.TextReply);

    w.setStartScreenVisible(false);
    w.TabStrip1->setVisible(true);
    w.TabStrip1_Click();
    w.CurrentProfileName = QStringLiteral("<520 upload>");
    w.showProfileCaption();
    w.ProfileChanged = false;
    w.menuMain->setChecked(false);
    w.MonitorMenu->setChecked(false);
    w.menuProgram->setChecked(true);
    w.statusWindows().displayStatus(QStringLiteral("Upload successful"), 1, 0);
    reportAdjustments(adjusted, QStringLiteral("controller value"));
}

} // namespace gx
