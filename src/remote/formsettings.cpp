// Building the settings dialog, showing each COM number's device, and loading, applying and resetting settings.

#include "remote/formsettings.h"

#include "platform/settingsstore.h"
#include "remote/fleetpage.h"
#include "profile/textentry.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace gx {

namespace {

const QString Ports = QStringLiteral("Ports");

QString indexed(const char* name, int i)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i);
}

QGroupBox* portFrame(const QString& caption, const char* name, std::array<QRadioButton*, 7>& options,
                     std::array<QLabel*, 7>& devices, const char* labelName)
{
    auto* frame = new QGroupBox(caption);
    auto* grid = new QGridLayout(frame);
    auto* group = new QButtonGroup(frame);
    for (int i = 0; i < 7; ++i) {
        options[size_t(i)] = new QRadioButton(i == 0 ? QStringLiteral("Not used") : QStringLiteral("COM %1").arg(i));
        options[size_t(i)]->setObjectName(indexed(name, i));
        group->addButton(options[size_t(i)], i);
        grid->addWidget(options[size_t(i)], i, 0);
        if (i > 0) {
            devices[size_t(i)] = new QLabel;
            devices[size_t(i)]->setObjectName(indexed(labelName, i));
            devices[size_t(i)]->setEnabled(false);  // greyed: a note, not a setting
            grid->addWidget(devices[size_t(i)], i, 1);
        }
    }
    options[0]->setChecked(true);
    grid->setColumnStretch(1, 1);
    return frame;
}

} // namespace

FormSettings::FormSettings(SettingsStore& settings, MainWindow main, std::function<QList<SerialDeviceInfo>()> devices,
                           QWidget* parent)
    : QDialog(parent), m_settings(settings), m_main(std::move(main)), m_devices(std::move(devices))
{
    setObjectName(QStringLiteral("FormSettings"));
    setWindowTitle(QStringLiteral("Settings"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(portFrame(QStringLiteral("Local COM port"), "OptionLocComPort", OptionLocComPort, LabelLocDevice,
                              "LabelLocDevice"));
    left->addWidget(portFrame(QStringLiteral("MODEM COM port"), "OptionMODComPort", OptionMODComPort, LabelMODDevice,
                              "LabelMODDevice"));
    columns->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    auto* initial = new QGroupBox(QStringLiteral("Initial mode"));
    auto* initialRow = new QHBoxLayout(initial);
    m_initialMode = new QButtonGroup(initial);
    const char* modes[2] = {"Local", "Remote"};
    for (int i = 0; i < 2; ++i) {
        OptionInitialMode[size_t(i)] = new QRadioButton(QString::fromLatin1(modes[i]));
        OptionInitialMode[size_t(i)]->setObjectName(indexed("OptionInitialMode", i));
        OptionInitialMode[size_t(i)]->setEnabled(false);
        m_initialMode->addButton(OptionInitialMode[size_t(i)], i);
        initialRow->addWidget(OptionInitialMode[size_t(i)]);
    }
    right->addWidget(initial);
    auto* dialOut = new QGroupBox(QStringLiteral("MODEM dial-out mode"));
    auto* dialRow = new QHBoxLayout(dialOut);
    auto* dialGroup = new QButtonGroup(dialOut);
    const char* dials[2] = {"Tone", "Pulse"};
    for (int i = 0; i < 2; ++i) {
        OptionDialOut[size_t(i)] = new QRadioButton(QString::fromLatin1(dials[i]));
        OptionDialOut[size_t(i)]->setObjectName(indexed("OptionDialOut", i));
        dialGroup->addButton(OptionDialOut[size_t(i)], i);
        dialRow->addWidget(OptionDialOut[size_t(i)]);
    }
    OptionDialOut[0]->setChecked(true);
    right->addWidget(dialOut);
    auto addText = [&](QLineEdit*& edit, const char* name, const QString& label) {
        right->addWidget(new QLabel(label));
        edit = new QLineEdit;
        edit->setObjectName(QString::fromLatin1(name));
        keepSingleByte(edit);  // sent to the modem as typed
        right->addWidget(edit);
    };
    addText(TextModemInit, "TextModemInit", QStringLiteral("MODEM initialise string (Outgoing):"));
    addText(TextMODEMinComming, "TextMODEMinComming", QStringLiteral("MODEM initialise string (Incomming):"));

    auto* devicesFrame = new QGroupBox(QStringLiteral("Serial devices"));
    devicesFrame->setObjectName(QStringLiteral("FrameDevices"));
    auto* devicesGrid = new QGridLayout(devicesFrame);
    for (int i = 1; i <= 6; ++i) {
        devicesGrid->addWidget(new QLabel(QStringLiteral("COM %1:").arg(i)), i, 0);
        auto* combo = new QComboBox;
        combo->setObjectName(indexed("ComboDevice", i));
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setMinimumContentsLength(24);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setToolTip(QStringLiteral("The device this COM number opens: choose one of this computer's serial "
                                         "devices or type a device path (or tcp://host:port for a serial gateway)."));
        connect(combo, &QComboBox::currentTextChanged, this, [this] { showDevices(); });
        // A chosen device shows from its start (its path), not its end.
        connect(combo, &QComboBox::currentIndexChanged, combo, [combo] { combo->lineEdit()->setCursorPosition(0); });
        ComboDevice[size_t(i)] = combo;
        devicesGrid->addWidget(combo, i, 1);
    }
    right->addWidget(devicesFrame);
    right->addStretch(1);
    columns->addLayout(right, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto addButton = [&](QPushButton*& b, const char* name, const QString& caption) {
        b = new QPushButton(caption);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
    };
    addButton(CommandApply, "CommandApply", QStringLiteral("Apply"));
    addButton(CommandCancel, "CommandCancel", QStringLiteral("Cancel"));
    addButton(CommandDefaults, "CommandDefaults", QStringLiteral("Defaults"));

    auto* communication = new QWidget;
    communication->setObjectName(QStringLiteral("CommunicationPage"));
    communication->setLayout(columns);
    fleetPage = new FleetPage(m_settings, m_main.files);
    TabSettings = new QTabWidget;
    TabSettings->setObjectName(QStringLiteral("TabSettings"));
    TabSettings->addTab(communication, QStringLiteral("Communication"));
    TabSettings->addTab(fleetPage, QStringLiteral("Fleet"));
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(TabSettings, 1);
    outer->addLayout(buttons);

    for (int i = 0; i < 7; ++i) {
        connect(OptionLocComPort[size_t(i)], &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                initialComAvailability();
        });
        connect(OptionMODComPort[size_t(i)], &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                initialComAvailability();
        });
    }
    connect(CommandApply, &QPushButton::clicked, this, &FormSettings::CommandApply_Click);
    connect(CommandCancel, &QPushButton::clicked, this, &FormSettings::CommandCancel_Click);
    connect(CommandDefaults, &QPushButton::clicked, this, &FormSettings::CommandDefaults_Click);
}

void FormSettings::deselect(QButtonGroup* group)
{
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons())
        b->setChecked(false);
    group->setExclusive(true);
}

int FormSettings::checkedIndex(const std::array<QRadioButton*, 7>& options) const
{
    for (int i = 0; i < 7; ++i)
        if (options[size_t(i)]->isChecked())
            return i;
    return 0;
}

QString FormSettings::deviceOf(int com) const
{
    QComboBox* c = ComboDevice[size_t(com)];
    const int at = c->findText(c->currentText());
    const QString typed = (at >= 0 ? c->itemData(at).toString() : c->currentText()).trimmed();
    return typed;
}

void FormSettings::showDevices()
{
    for (int i = 1; i <= 6; ++i) {
        const QString device = deviceOf(i);
        QString shown = device.isEmpty() ? defaultPortName(i) : device;
        // A stable path is long: the device it leads to now, and that it is by id.
        if (shown.startsWith(QLatin1String("/dev/serial/by-id/"))) {
            QString now;
            for (const SerialDeviceInfo& d : m_present)
                if (d.stablePath == shown)
                    now = d.systemLocation;
            shown = now.isEmpty() ? QStringLiteral("by id, not plugged in") : now + QStringLiteral(", by id");
        }
        for (QLabel* label : {LabelLocDevice[size_t(i)], LabelMODDevice[size_t(i)]}) {
            label->setText(shown);
            label->setToolTip(device.isEmpty() ? defaultPortName(i) : device);
        }
    }
}

void FormSettings::Form_Load()
{
    show();
    for (int i = 1; i <= 6; ++i) {
        OptionLocComPort[size_t(i)]->setEnabled(true);
        OptionMODComPort[size_t(i)]->setEnabled(true);
    }
    // A stored port that is not "0" to "6" (the store edited by hand) is "Not
    // used", and "0" goes back into the store.
    auto select = [this](const QString& key, QString& value, const std::array<QRadioButton*, 7>& options) {
        value = m_settings.setting(key);
        if (value.isEmpty())
            return;
        bool ok = false;
        const int n = value.trimmed().toInt(&ok);
        if (!ok || n < 0 || n > 6) {
            value = QStringLiteral("0");
            m_settings.setSetting(key, value);
        }
        options[size_t(numericValue(value))]->setChecked(true);
    };
    select(QStringLiteral("CurrentPort"), LocComPort, OptionLocComPort);
    select(QStringLiteral("CurrentModemPort"), ModemComPort, OptionMODComPort);

    const QList<SerialDeviceInfo> devices = m_devices();
    m_present = devices;
    for (int i = 1; i <= 6; ++i) {
        QComboBox* c = ComboDevice[size_t(i)];
        const QSignalBlocker block(c);
        c->clear();
        c->addItem(QStringLiteral("standard: %1").arg(defaultPortName(i)), QString());
        // A USB adapter is mapped by its path under /dev/serial/by-id when it
        // has one: plugged back in as another ttyUSB, it is still this COM.
        for (const SerialDeviceInfo& d : devices) {
            c->addItem(d.stablePath.isEmpty() ? d.text() : d.text() + QStringLiteral(", by id"), d.mappedPath());
            c->setItemData(c->count() - 1, d.mappedPath(), Qt::ToolTipRole);
        }
        const QString mapped = m_settings.value(Ports, QStringLiteral("COM%1").arg(i)).trimmed();
        int at = mapped.isEmpty() ? 0 : c->findData(mapped);
        for (int k = 0; at < 0 && k < devices.size(); ++k)
            if (devices[k].systemLocation == mapped)
                at = c->findData(devices[k].mappedPath());  // mapped by its ttyUSB name before
        if (at >= 0)
            c->setCurrentIndex(at);
        else
            c->setEditText(mapped);
        c->lineEdit()->setCursorPosition(0);
    }
    showDevices();

    initialComAvailability();
    usage = m_settings.setting(QStringLiteral("use"));
    if (numericValue(LocComPort) > 0 && usage == QLatin1String("local"))
        OptionInitialMode[0]->setChecked(true);
    else if (numericValue(ModemComPort) > 0 && usage == QLatin1String("remote"))
        OptionInitialMode[1]->setChecked(true);
    else
        deselect(m_initialMode);

    const QString init = m_settings.setting(QStringLiteral("ModemInit"));
    TextModemInit->setText(init.isEmpty() ? QStringLiteral("ATZE1V1X0S0=0") : init);
    const QString incoming = m_settings.setting(QStringLiteral("ModemInComming"));
    TextMODEMinComming->setText(incoming.isEmpty() ? QStringLiteral("ATE0V0X0S0=0") : incoming);
    const bool tone = m_settings.setting(QStringLiteral("Dial out mode"), QStringLiteral("Tone")) == QLatin1String("Tone");
    OptionDialOut[tone ? 0 : 1]->setChecked(true);
    fleetPage->load();
}

void FormSettings::initialComAvailability()
{
    auto follow = [this](QRadioButton* notUsed, QRadioButton* mode) {
        if (notUsed->isChecked()) {
            if (mode->isChecked()) {
                m_initialMode->setExclusive(false);
                mode->setChecked(false);
                m_initialMode->setExclusive(true);
            }
            mode->setEnabled(false);
        } else {
            mode->setEnabled(true);
        }
    };
    follow(OptionLocComPort[0], OptionInitialMode[0]);
    follow(OptionMODComPort[0], OptionInitialMode[1]);
}

void FormSettings::CommandApply_Click()
{
    // Fleet settings that cannot work keep the dialog open on their page, nothing applied.
    if (!fleetPage->apply()) {
        TabSettings->setCurrentWidget(fleetPage);
        return;
    }
    if (m_main.fleetChanged)
        m_main.fleetChanged();
    serialPort = checkedIndex(OptionLocComPort);
    m_settings.setSetting(QStringLiteral("CurrentPort"), QString::number(serialPort));
    MODEMport = checkedIndex(OptionMODComPort);
    m_settings.setSetting(QStringLiteral("CurrentModemPort"), QString::number(MODEMport));
    m_settings.setSetting(QStringLiteral("use"), OptionInitialMode[0]->isChecked()   ? QStringLiteral("local")
                                                 : OptionInitialMode[1]->isChecked() ? QStringLiteral("remote")
                                                                                     : QString());
    m_settings.setSetting(QStringLiteral("ModemInit"), TextModemInit->text());
    m_settings.setSetting(QStringLiteral("ModemInComming"), TextMODEMinComming->text());
    m_settings.setSetting(QStringLiteral("Dial out mode"),
                          OptionDialOut[0]->isChecked() ? QStringLiteral("Tone") : QStringLiteral("Pulse"));
    for (int i = 1; i <= 6; ++i) {
        const QString key = QStringLiteral("COM%1").arg(i);
        const QString device = deviceOf(i);
        if (!device.isEmpty() || !m_settings.value(Ports, key).isEmpty())
            m_settings.setValue(Ports, key, device);
    }
    m_main.setMenus();
    m_main.openCommunications();
    if (!m_main.portOpenError())
        close();
}

void FormSettings::CommandCancel_Click()
{
    m_main.openCommunications();
    if (!m_main.portOpenError())
        close();
}

void FormSettings::CommandDefaults_Click()
{
    TextMODEMinComming->setText(QStringLiteral("ATE0V0X0S0=0"));
    TextModemInit->setText(QStringLiteral("ATE1V1X0S0=0"));
}

} // namespace gx
