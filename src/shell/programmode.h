#pragma once

// Program mode: the limits, the editor pages, and moving a profile to and from controllers, files and paper.

#include "profile/limits.h"

#include <QObject>

#include <memory>
#include <optional>

namespace gx {

class FormMonitor;
class ProfileEditor;
struct ValueAdjustment;

// Program mode: the limits read at start-up, the editor pages that hold the
// working profile, and the File items that move it: upload from and download
// to a controller, open and save a profile file, print it.
class ProgramMode : public QObject {
    Q_OBJECT
public:
    explicit ProgramMode(FormMonitor& window);
    ~ProgramMode() override;

    // Reads "limits.txt" and sets the editor to its defaults. A missing or
    // malformed file is reported; the program screens then stay unavailable.
    void setupProgramLimits();
    void menuLoadGX510_Click();
    void menuSaveGX510_Click();
    void menuSaveDisk_Click();
    void menuLoaddisk_Click();
    void menuPrintProfile_Click();
    void menuPrinterSetup_Click();

    ProfileEditor& editor() { return *m_editor; }

    static const QString ProfileFilter;  // "GX510-520 profile (*.510;*.520)|*.510;*.520"

private:
    void reportAdjustments(const QList<ValueAdjustment>& adjustments, const QString& source);
    void stopMonitorIfRunning();

    FormMonitor& m_window;
    std::unique_ptr<ProfileEditor> m_editor;
    std::optional<ProgramLimits> m_limits;
};

} // namespace gx
