#pragma once

// The "Settings" dialog: COM ports and the devices they map to, modem strings, dialling, the fleet page.

#include "platform/portnames.h"

#include <QDialog>

#include <array>
#include <functional>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace gx {

class FileStore;
class FleetPage;
class SettingsStore;

// The communication settings ("Settings"): the local and the modem COM port,
// the initial mode, the two modem initialisation strings and tone or pulse
// dialling. Beside each COM choice it shows which device that COM number is,
// and the device list maps any of them to a serial device of this computer
// (a USB adapter by its stable path under /dev/serial/by-id) or a typed
// device path, kept in the [Ports] section. A second page, Fleet, holds the
// fleet board's broker connection.
class FormSettings : public QDialog {
    Q_OBJECT
public:
    struct MainWindow {
        std::function<void()> setMenus;
        std::function<void()> openCommunications;
        std::function<bool()> portOpenError;
        // The Fleet page was applied; the files its credentials go through.
        std::function<void()> fleetChanged = {};
        FileStore* files = nullptr;
    };
    FormSettings(SettingsStore& settings, MainWindow main,
                 std::function<QList<SerialDeviceInfo>()> devices = availableSerialDevices, QWidget* parent = nullptr);

    // Reads the store into the controls (the dialog's start-up).
    void Form_Load();
    void initialComAvailability();
    void CommandApply_Click();
    void CommandCancel_Click();
    void CommandDefaults_Click();

    std::array<QRadioButton*, 7> OptionLocComPort{};
    std::array<QRadioButton*, 7> OptionMODComPort{};
    std::array<QRadioButton*, 2> OptionInitialMode{};
    std::array<QRadioButton*, 2> OptionDialOut{};
    QLineEdit* TextModemInit = nullptr;
    QLineEdit* TextMODEMinComming = nullptr;
    QPushButton* CommandApply = nullptr;
    QPushButton* CommandCancel = nullptr;
    QPushButton* CommandDefaults = nullptr;
    // Beside COM 1..6 of each frame: the device it is.
    std::array<QLabel*, 7> LabelLocDevice{};
    std::array<QLabel*, 7> LabelMODDevice{};
    // The device of COM 1..6: a device of the list or a typed path.
    std::array<QComboBox*, 7> ComboDevice{};
    // The pages: the communication settings and the fleet board's connection.
    QTabWidget* TabSettings = nullptr;
    FleetPage* fleetPage = nullptr;

    QString LocComPort, ModemComPort, usage;
    int serialPort = 0;
    int MODEMport = 0;

private:
    void deselect(QButtonGroup* group);
    int checkedIndex(const std::array<QRadioButton*, 7>& options) const;
    QString deviceOf(int com) const;
    void showDevices();

    SettingsStore& m_settings;
    MainWindow m_main;
    std::function<QList<SerialDeviceInfo>()> m_devices;
    QList<SerialDeviceInfo> m_present;  // as the list was filled
    QButtonGroup* m_initialMode = nullptr;
};

} // namespace gx
