// The settings, dial-up and address book dialogs as a user works them.

#include "fakes.h"

#include "remote/formaddressbook.h"
#include "remote/formdialup.h"
#include "remote/formsettings.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QKeyEvent>
#include <QTest>

using namespace gx;
using namespace gx::test;

// Types the text key by key, as a keyboard that has the characters would.
inline void typeInto(QWidget* box, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(box, &press);
    }
}

namespace {

const QString ById = "/dev/serial/by-id/usb-Silicon_Labs_CP2102_0001-if00-port0";

struct SettingsFixture {
    FakeSettingsStore store;
    int opened = 0;
    bool openFails = false;
    std::unique_ptr<FormSettings> form;

    void load()
    {
        form = std::make_unique<FormSettings>(
            store, FormSettings::MainWindow{[] {}, [this] { ++opened; }, [this] { return openFails; }},
            [] {
                return QList<SerialDeviceInfo>{{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A10K1234", {}},
                                               {"/dev/ttyUSB1", "CP2102 USB to UART", "Silicon Labs", "0001", ById}};
            });
        form->setAttribute(Qt::WA_DeleteOnClose, false);
        form->Form_Load();
    }
};

} // namespace

TEST(FormSettings, StartsFromTheStoreAndKeepsTheInitialModesInStep)
{
    SettingsFixture f;
    f.load();  // an empty store
    FormSettings& s = *f.form;
    EXPECT_TRUE(s.OptionLocComPort[0]->isChecked() && s.OptionMODComPort[0]->isChecked());
    EXPECT_FALSE(s.OptionInitialMode[0]->isChecked() || s.OptionInitialMode[1]->isChecked());
    EXPECT_FALSE(s.OptionInitialMode[0]->isEnabled() || s.OptionInitialMode[1]->isEnabled());
    EXPECT_EQ(s.TextModemInit->text() + " " + s.TextMODEMinComming->text(), "ATZE1V1X0S0=0 ATE0V0X0S0=0");
    EXPECT_TRUE(s.OptionDialOut[0]->isChecked());
    EXPECT_EQ(s.LabelLocDevice[3]->text(), "/dev/ttyS2");

    s.OptionLocComPort[3]->setChecked(true);  // COM 3 enables "Local" without selecting it
    EXPECT_TRUE(s.OptionInitialMode[0]->isEnabled());
    EXPECT_FALSE(s.OptionInitialMode[0]->isChecked());
    s.OptionInitialMode[0]->setChecked(true);
    s.OptionLocComPort[0]->setChecked(true);  // "Not used" deselects and disables it at once
    EXPECT_FALSE(s.OptionInitialMode[0]->isChecked() || s.OptionInitialMode[0]->isEnabled());
}

TEST(FormSettings, ApplyWritesEverythingAndStaysOpenWhileThePortFails)
{
    SettingsFixture f;
    f.store.setValue("Ports", "COM2", "/dev/ttyACM7");
    f.load();
    FormSettings& s = *f.form;
    EXPECT_EQ(s.ComboDevice[2]->currentText(), "/dev/ttyACM7");
    s.OptionLocComPort[3]->setChecked(true);
    s.OptionMODComPort[2]->setChecked(true);
    s.OptionInitialMode[1]->setChecked(true);
    s.OptionDialOut[1]->setChecked(true);
    s.ComboDevice[3]->setCurrentIndex(1);  // the USB adapter
    EXPECT_EQ(s.LabelLocDevice[3]->text(), "/dev/ttyUSB0");
    s.CommandDefaults->click();
    f.openFails = true;
    s.show();
    s.CommandApply->click();
    for (const auto& [key, value] : {std::pair{"CurrentPort", "3"}, {"CurrentModemPort", "2"}, {"use", "remote"},
                                     {"ModemInit", "ATE1V1X0S0=0"}, {"ModemInComming", "ATE0V0X0S0=0"}, {"Dial out mode", "Pulse"}})
        EXPECT_EQ(f.store.setting(key), value) << key;
    EXPECT_EQ(f.store.value("Ports", "COM3"), "/dev/ttyUSB0");
    EXPECT_EQ(f.store.value("Ports", "COM2"), "/dev/ttyACM7");
    EXPECT_FALSE(f.store.contains("Ports", "COM4"));
    EXPECT_EQ(f.opened, 1);
    EXPECT_TRUE(s.isVisible()) << "a port that cannot be opened keeps the dialog open";
    f.openFails = false;
    s.CommandCancel->click();
    EXPECT_EQ(f.opened, 2);
    EXPECT_FALSE(s.isVisible());
}

TEST(FormSettings, AUsbAdapterIsMappedByItsStablePath)
{
    SettingsFixture f;
    f.store.setValue("Ports", "COM1", "/dev/ttyUSB1");  // mapped by its ttyUSB name before
    f.store.setValue("Ports", "COM4", "/dev/serial/by-id/usb-FTDI_gone-if00-port0");
    f.load();
    FormSettings& s = *f.form;
    EXPECT_EQ(s.ComboDevice[1]->currentIndex(), 2);
    EXPECT_EQ(s.LabelLocDevice[1]->text(), "/dev/ttyUSB1, by id");
    EXPECT_EQ(s.LabelLocDevice[4]->text(), "by id, not plugged in");
    s.ComboDevice[2]->setCurrentIndex(2);
    EXPECT_EQ(s.LabelMODDevice[2]->text(), "/dev/ttyUSB1, by id");
    s.CommandApply->click();
    EXPECT_EQ((QStringList{f.store.value("Ports", "COM1"), f.store.value("Ports", "COM2"), f.store.value("Ports", "COM4")}),
              (QStringList{ById, ById, "/dev/serial/by-id/usb-FTDI_gone-if00-port0"}));
}

TEST(FormAddressBook, EntriesAreAddedEditedAndUsedAndABookThatCannotBeReadIsNeverWrittenOver)
{
    // Reading fails while blocked, as for a file of another user.
    struct Unreadable final : FileStore {
        std::optional<QByteArray> read(const QString& path, QString* error) const override
        {
            if (blocked) {
                if (error)
                    *error = "Permission denied";
                return std::nullopt;
            }
            return FileStore::read(path, error);
        }
        bool blocked = false;
    };
    QTemporaryDir dir;
    const QString path = dir.filePath("address.txt");
    Unreadable files;
    FakeDialogs dialogs;
    auto book = std::make_unique<FormAddressBook>(files, dialogs, path);
    EXPECT_EQ(*files.read(path, nullptr), "EOF\r\n") << "a missing book is made";
    EXPECT_EQ(book->ComboName->count(), 1);
    EXPECT_FALSE(book->CommandModifyEntry->isEnabled());

    book->CommandNewEntry_Click();
    EXPECT_FALSE(book->ComboName->isEnabled()) << "locked while editing";
    book->TextNewName->setText("Depot, gate 2");
    book->TextNewNumber->setText("555 0199");
    book->CommandStore_Click();
    EXPECT_EQ(*files.read(path, nullptr), "Depot! gate 2,555 0199\r\nEOF\r\n");
    EXPECT_EQ(book->ComboName->itemText(0), "Depot, gate 2");

    book->CommandNewEntry_Click();
    book->CommandNewEntry_Click();  // two new entries, only the selected one filled
    EXPECT_EQ(book->ComboName->currentIndex(), 2);
    book->TextNewName->setText("North");
    book->TextNewNumber->setText("555 0100");
    book->CommandStore_Click();
    const QByteArray stored = "Depot! gate 2,555 0199\r\n,\r\nNorth,555 0100\r\nEOF\r\n";
    EXPECT_EQ(*files.read(path, nullptr), stored);

    QString used;
    QObject::connect(book.get(), &FormAddressBook::numberChosen, [&](const QString& n) { used = n; });
    book->ComboName->setCurrentIndex(2);
    EXPECT_EQ(book->TextPhoneNumber->text(), "555 0100");
    book->CommandUse_Click();
    EXPECT_EQ(used, "555 0100");

    files.blocked = true;
    FormAddressBook form(files, dialogs, path);
    ASSERT_EQ(dialogs.informed.size(), 1);
    EXPECT_TRUE(dialogs.informed[0].contains("could not be read: Permission denied")) << qPrintable(dialogs.informed[0]);
    form.CommandNewEntry_Click();
    form.TextNewName->setText("South");
    form.TextNewNumber->setText("555 0111");
    form.CommandStore_Click();
    ASSERT_EQ(dialogs.informed.size(), 3);  // Store refused, and the list read again
    EXPECT_TRUE(dialogs.informed[1].contains("Nothing has been stored")) << qPrintable(dialogs.informed[1]);
    files.blocked = false;
    EXPECT_EQ(files.read(path, nullptr).value_or(QByteArray()), stored);
}

TEST(Forms, TheDialupStartsFromTheLastNumberAndTypedTextKeepsToOneByteACharacter)
{
    // Dial with a number and a four-character PIN is every remote e2e run's.
    FakeSettingsStore store;
    store.setSetting("LastNumber", "5550100");
    FormDialup dialup(store);
    dialup.Form_Load();
    EXPECT_EQ(dialup.TextPhoneNumber->text(), "5550100");
    EXPECT_EQ(dialup.TextStatus->text(), "Idle...");
    dialup.TextRemotePIN->setText("123");
    EXPECT_FALSE(dialup.CommandDial->isEnabled());

    QTemporaryDir dir;
    FileStore files;
    FakeDialogs dialogs;
    FormAddressBook book(files, dialogs, dir.filePath("address.txt"));
    QLineEdit* const boxes[] = {dialup.TextPhoneNumber, dialup.TextRemotePIN, book.TextNewName, book.TextNewNumber};
    for (QLineEdit* box : boxes) {
        box->clear();
        typeInto(box, QString::fromUtf8("5\u2013\u20ac\u2019"));
        EXPECT_EQ(box->text(), "5-?'") << qPrintable(box->objectName());
    }
}
