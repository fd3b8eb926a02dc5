#pragma once

// The "GX520 Address Book" dialog: remote sites browsed, added and changed, a number handed to the dialler.

#include "remote/addressbook.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace gx {

class Dialogs;
class FileStore;

// "GX520 Address Book": remote sites by name, browsed and edited here and
// kept in "address.txt"; "Use" hands the chosen number to the dial-up dialog.
class FormAddressBook : public QDialog {
    Q_OBJECT
public:
    FormAddressBook(FileStore& files, Dialogs& dialogs, const QString& path, QWidget* parent = nullptr);

    // Reads the file into the list (a missing file becomes one holding "EOF";
    // one that cannot be read is said so, and shows empty).
    void loadAddressBook();
    // Writes the entries to the file; false (the user told) when it cannot, or
    // when the file is there but cannot be read (it is never written over).
    bool modifyAddressBook();

    void ComboName_Click();
    void CommandUse_Click();
    void CommandNewEntry_Click();
    void CommandModifyEntry_Click();
    void CommandStore_Click();

    QComboBox* ComboName = nullptr;
    QLineEdit* TextPhoneNumber = nullptr;
    QPushButton* CommandUse = nullptr;
    QPushButton* CommandNewEntry = nullptr;
    QPushButton* CommandModifyEntry = nullptr;
    QLabel* LabelNewName = nullptr;
    QLabel* LabelNewNumber = nullptr;
    QLineEdit* TextNewName = nullptr;
    QLineEdit* TextNewNumber = nullptr;
    QPushButton* CommandStore = nullptr;

    QList<addressbook::Entry> entries;
    int addressPointer = 0;

signals:
    void numberChosen(const QString& number);

private:
    void setEditing(bool editing);
    int selected() const;

    FileStore& m_files;
    Dialogs& m_dialogs;
    QString m_path;
};

} // namespace gx
