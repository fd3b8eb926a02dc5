#pragma once

#include <QObject>

#include <memory>

namespace gx {

class FormMonitor;
class ProfileEditor;
struct ValueAdjustment;

// Program mode: the limits read at start-up, the editor pages that hold the
// working profile, and "Upload profile from Genpilot".
class ProgramMode : public QObject {
    Q_OBJECT
public:
    explicit ProgramMode(FormMonitor& window);
    ~ProgramMode() override;

    // Reads "limits.txt" and sets the editor to its defaults. A missing or
    // malformed file is reported; the program screens then stay unavailable.
    void setupProgramLimits();
    void menuLoadGX510_Click();

    ProfileEditor& editor() { return *m_editor; }

private:
    void reportAdjustments(const QList<ValueAdjustment>& adjustments, const QString& source);

    FormMonitor& m_window;
    std::unique_ptr<ProfileEditor> m_editor;
};

} // namespace gx
