#pragma once

// The eight editor pages of program mode: a control for every edited slot, kept in step with the profile.

#include "profile/limits.h"
#include "profile/limitscheck.h"
#include "profile/profile.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QScrollBar;
class QWidget;

namespace gx {

// The eight editor pages of program mode. The controls hold the working
// profile: every edited slot has one control, indexed by its slot number.
// Every change of a control, by the user or by one of the set... functions
// below, runs the control's handler, which keeps the value texts and the
// greyed-out settings in step and sets ProfileChanged.
class ProfileEditor : public QObject {
    Q_OBJECT
public:
    static constexpr int NotesMaxLength = 1024;

    // pages[1] to pages[8] are the editor pages (Frame1(1) to Frame1(8)); each
    // gets its controls in a layout that follows the page's size. pages[0],
    // the monitor screen, is not touched. profileChanged, when given, is the
    // flag that the handlers set; otherwise the editor keeps its own.
    explicit ProfileEditor(const std::array<QWidget*, 9>& pages, bool* profileChanged = nullptr,
                           QObject* parent = nullptr);

    // The tab captions in tab order, and the page (1-8) a caption shows; -1
    // for a caption that matches none.
    static QStringList tabCaptions();
    static int pageOfTab(const QString& caption);

    // Gives every control its range, steps and option list from the limits
    // and sets the defaults (the working profile's start-up values). The
    // handlers run and set ProfileChanged; start-up clears it afterwards.
    void applyLimits(const ProgramLimits& limits);

    // The working profile as the controls hold it: timers in whole seconds,
    // messages padded to 16 characters, notes with CR LF line ends; slots
    // that are not edited carry their fixed values.
    Profile workingProfile() const;

    // Puts every edited slot and the notes of `profile` (timers in whole
    // seconds) into the controls. Values the controls cannot hold are listed
    // in the result; nothing is changed silently.
    QList<ValueAdjustment> setWorkingProfile(const Profile& profile);

    // The copy of a program-mode upload: `uploaded` as decoded from the image
    // (timers in tenths, divided by 10 and rounded down here) and the notes
    // from the 1023-byte text reply.
    QList<ValueAdjustment> loadUploadedProfile(const Profile& uploaded, const QByteArray& textReply);

    bool profileChanged() const { return *m_changed; }
    void setProfileChanged(bool changed) { *m_changed = changed; }

    // Program assignments; each runs the control's handler exactly once, even
    // when the value does not change. A value outside a scroll bar's range is
    // clamped, an option beyond the list selects nothing.
    void setTimerValue(int slot, int seconds);
    void setSysValue(int slot, int value);
    void setSwitchOption(int index, int option);  // index 0-27, or 32/33 for the sensors
    void setMessageText(int slot, const QString& text);
    void setPinText(int slot, const QString& text);
    void setNotes(const QString& notes);  // CR LF, LF or CR line ends
    QString notes() const;                // with CR LF line ends

    // Handlers (Index is the slot index).
    void HScrollTimer_Change(int Index);
    void HScrollSysval_Change(int Index);
    void ComboSW_Click(int Index);
    void TextMessage_Change(int Index);
    void TextPIN_Change(int Index);
    void textProfileNotes_Change();

    // Controls and their labels; nullptr for slots without one.
    std::array<QScrollBar*, 16> HScrollTimer{};
    std::array<QLineEdit*, 16> TextTimer{};
    std::array<QLabel*, 16> LabelTimer{};
    std::array<QScrollBar*, 28> HScrollSysval{};
    std::array<QLineEdit*, 28> TextSysval{};
    std::array<QLabel*, 28> LabelSysval{};
    std::array<QLabel*, 28> LabelSysvalUnit{};
    std::array<QComboBox*, 34> ComboSW{};
    std::array<QLabel*, 34> LabelSW{};
    std::array<QLineEdit*, 6> TextMessage{};
    std::array<QLabel*, 6> LabelMessage{};
    std::array<QLineEdit*, 4> TextPIN{};
    std::array<QLabel*, 4> LabelPIN{};
    QPlainTextEdit* textProfileNotes = nullptr;
    QLabel* LabelRemaining = nullptr;

signals:
    // After every handler, that is after every change of the working profile.
    void edited();

private:
    void buildOutputsPage(QWidget* page);
    void buildGeneratorSetup2Page(QWidget* page);
    void buildDcPage(QWidget* page);
    void buildInputsPage(QWidget* page);
    void buildGeneratorSetup1Page(QWidget* page);
    void buildGeneralPage(QWidget* page);
    void buildNotesPage(QWidget* page);
    void buildTimersPage(QWidget* page);

    QGridLayout* newColumn();
    void addTimerRow(QGridLayout* grid, int slot);
    void addSysvalRow(QGridLayout* grid, int slot);
    void addSwitchRow(QGridLayout* grid, int index);
    void addMessageRow(QGridLayout* grid, int slot);
    void addPinRow(QGridLayout* grid, int slot);
    // A label and a fixed-pitch text box named name(slot), its label "Label" + the
    // name without its "Text" (LabelMessage(3), LabelPIN(0)).
    QLineEdit* addFixedPitchRow(QGridLayout* grid, QLabel*& label, const QString& text, const QString& name,
                                int slot, int maxLength);
    QLabel* newLabel(const QString& text, const QString& objectName);
    QLineEdit* newValueBox(const QString& objectName);

    void markChanged();
    void refreshSysvalText(int slot);
    void limitTypedNotes();
    int switchOption(int index) const;

    bool m_ownChanged = false;
    bool* m_changed = nullptr;
    ProgramLimits m_limits;
    bool m_assigningNotes = false;
    int m_lastNotesChangePos = 0;
    int m_lastNotesChangeAdded = 0;
    QString m_notesBefore;
};

} // namespace gx
