#pragma once

// The Fleet page of the settings dialog: the fleet board's broker, user name
// and password, CA file and topic prefix. The password goes into a
// credentials file readable by its owner alone, never into the settings store.

#include <QString>
#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;

namespace gx {

class FileStore;
class SettingsStore;

class FleetPage : public QWidget {
    Q_OBJECT
public:
    // Without `files` the page writes through a FileStore of its own.
    FleetPage(SettingsStore& settings, FileStore* files, QWidget* parent = nullptr);
    ~FleetPage() override;

    // Reads the store and the credentials file into the fields.
    void load();
    // Checks the fields and stores them; false, with what is wrong shown on
    // the page and nothing stored, when they cannot be used.
    bool apply();

    QLineEdit* TextFleetBroker = nullptr;
    QLineEdit* TextFleetUser = nullptr;
    QLineEdit* TextFleetPassword = nullptr;
    QLineEdit* TextFleetCaFile = nullptr;
    QLineEdit* TextFleetPrefix = nullptr;
    QLabel* LabelFleetProblem = nullptr;

    // Where the user name and password go when the settings name no file yet.
    QString credentialsPath;

private:
    void showProblem(const QString& text);

    SettingsStore& m_settings;
    FileStore* m_files;
    std::unique_ptr<FileStore> m_ownFiles;
};

} // namespace gx
