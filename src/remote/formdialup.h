#pragma once

// The "Dial up" dialog: the telephone number, the remote log-on PIN and the dial sequence's progress.

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace gx {

class SettingsStore;

// "Dial up": the telephone number, the remote log-on PIN and the progress of
// the dial sequence. The buttons only raise signals; the main window runs the
// sequence.
class FormDialup : public QDialog {
    Q_OBJECT
public:
    explicit FormDialup(SettingsStore& settings, QWidget* parent = nullptr);

    void Form_Load();
    // Dial is usable with a number and a PIN of four characters, and never
    // while a dial runs.
    void TextPhoneNumber_Change();
    // While a dial runs only Cancel is live.
    void setDialling(bool dialling);
    bool dialling() const { return m_dialling; }
    // Esc and the window's close box are Cancel.
    void reject() override;

    QLineEdit* TextPhoneNumber = nullptr;
    QLineEdit* TextRemotePIN = nullptr;
    QLineEdit* TextStatus = nullptr;
    QPushButton* CommandDial = nullptr;
    QPushButton* CommandAddressBook = nullptr;
    QPushButton* CommandCancel = nullptr;

signals:
    void dialClicked();
    void cancelClicked();
    void addressBookClicked();

private:
    SettingsStore& m_settings;
    bool m_dialling = false;
};

} // namespace gx
