// The address book dialog's controls, loading and storing address.txt, and its buttons.

#include "remote/formaddressbook.h"

#include "platform/dialogs.h"
#include "platform/filestore.h"
#include "profile/textentry.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace gx {

FormAddressBook::FormAddressBook(FileStore& files, Dialogs& dialogs, const QString& path, QWidget* parent)
    : QDialog(parent), m_files(files), m_dialogs(dialogs), m_path(path)
{
    setObjectName(QStringLiteral("FormAddressBook"));
    setWindowTitle(QStringLiteral("GX520 Address Book"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* grid = new QGridLayout(this);
    auto label = [](const QString& text, const char* name = nullptr) {
        auto* l = new QLabel(text);
        if (name)
            l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    auto edit = [](const char* name) {
        auto* e = new QLineEdit;
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    auto button = [](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    ComboName = new QComboBox;
    ComboName->setObjectName(QStringLiteral("ComboName"));
    ComboName->setMinimumContentsLength(24);
    TextPhoneNumber = edit("TextPhoneNumber");
    TextPhoneNumber->setReadOnly(true);
    CommandUse = button("CommandUse", QStringLiteral("Use"));
    CommandNewEntry = button("CommandNewEntry", QStringLiteral("New Entry"));
    CommandModifyEntry = button("CommandModifyEntry", QStringLiteral("Modify Entry"));
    LabelNewName = label(QStringLiteral("New Name:"), "LabelNewName");
    LabelNewNumber = label(QStringLiteral("New Number:"), "LabelNewNumber");
    TextNewName = edit("TextNewName");
    TextNewNumber = edit("TextNewNumber");
    keepSingleByte(TextNewName);
    keepSingleByte(TextNewNumber);
    CommandStore = button("CommandStore", QStringLiteral("Store"));

    grid->addWidget(label(QStringLiteral("Name:")), 0, 0);
    grid->addWidget(ComboName, 0, 1);
    grid->addWidget(CommandUse, 0, 2);
    grid->addWidget(label(QStringLiteral("Phone number:")), 1, 0);
    grid->addWidget(TextPhoneNumber, 1, 1);
    grid->addWidget(CommandNewEntry, 1, 2);
    grid->addWidget(CommandModifyEntry, 2, 2);
    grid->addWidget(LabelNewName, 3, 0);
    grid->addWidget(TextNewName, 3, 1);
    grid->addWidget(LabelNewNumber, 4, 0);
    grid->addWidget(TextNewNumber, 4, 1);
    grid->addWidget(CommandStore, 4, 2);
    grid->setColumnStretch(1, 1);
    setEditing(false);

    connect(ComboName, &QComboBox::currentIndexChanged, this, [this] { ComboName_Click(); });
    connect(CommandUse, &QPushButton::clicked, this, &FormAddressBook::CommandUse_Click);
    connect(CommandNewEntry, &QPushButton::clicked, this, &FormAddressBook::CommandNewEntry_Click);
    connect(CommandModifyEntry, &QPushButton::clicked, this, &FormAddressBook::CommandModifyEntry_Click);
    connect(CommandStore, &QPushButton::clicked, this, &FormAddressBook::CommandStore_Click);

    loadAddressBook();
    ComboName->setCurrentIndex(0);
    TextPhoneNumber->setText(entries.isEmpty() ? QString() : entries[0].number);
}

int FormAddressBook::selected() const
{
    return ComboName->currentIndex();
}

void FormAddressBook::setEditing(bool editing)
{
    for (QWidget* w : std::initializer_list<QWidget*>{LabelNewName, LabelNewNumber, TextNewName, TextNewNumber, CommandStore})
        w->setVisible(editing);
    ComboName->setEnabled(!editing);
    adjustSize();
}

void FormAddressBook::loadAddressBook()
{
    QString why;
    std::optional<QByteArray> file = m_files.read(m_path, &why);
    if (!file && !m_files.exists(m_path)) {
        file = QByteArray("EOF\r\n");
        m_files.write(m_path, *file, &why);  // a new book holds only "EOF"
    } else if (!file) {
        m_dialogs.inform(QStringLiteral("The address book %1 could not be read: %2.\n\nIt shows empty, and nothing "
                                        "is stored into it until it can be read; the file is left as it is.")
                             .arg(QDir::toNativeSeparators(m_path), why),
                         QStringLiteral("GX520 Address Book"));
    }
    entries = addressbook::read(file.value_or(QByteArray()));
    addressPointer = int(entries.size());
    ComboName->clear();
    for (const addressbook::Entry& e : entries)
        ComboName->addItem(e.name);
    if (entries.isEmpty()) {
        ComboName->addItem(QStringLiteral(" "));
        CommandModifyEntry->setEnabled(false);
    } else {
        CommandModifyEntry->setEnabled(true);
    }
    ComboName->setCurrentIndex(0);
}

bool FormAddressBook::modifyAddressBook()
{
    QString why;
    // A book that is there but cannot be read is never written over: its
    // entries would be lost.
    if (!m_files.read(m_path, &why) && m_files.exists(m_path)) {
        m_dialogs.inform(QStringLiteral("The address book %1 could not be read: %2.\n\nNothing has been stored; "
                                        "the file is left as it is.")
                             .arg(QDir::toNativeSeparators(m_path), why),
                         QStringLiteral("GX520 Address Book"));
        return false;
    }
    if (m_files.write(m_path, addressbook::write(entries.mid(0, addressPointer)), &why))
        return true;
    m_dialogs.inform(QStringLiteral("The address book %1 could not be saved: %2.\n\nThe file on disk is unchanged.")
                         .arg(QDir::toNativeSeparators(m_path), why),
                     QStringLiteral("GX520 Address Book"));
    return false;
}

void FormAddressBook::ComboName_Click()
{
    const int i = selected();
    TextPhoneNumber->setText(i >= 0 && i < entries.size() ? entries[i].number : QString());
}

void FormAddressBook::CommandUse_Click()
{
    const int i = selected();
    emit numberChosen(i >= 0 && i < entries.size() ? entries[i].number : QString());
    close();
}

void FormAddressBook::CommandNewEntry_Click()
{
    TextNewName->clear();
    TextNewNumber->clear();
    setEditing(true);
    TextNewName->setFocus();
    ComboName->addItem(QStringLiteral(" "));
    ComboName->setCurrentIndex(addressPointer);
    ++addressPointer;
    while (entries.size() < addressPointer)
        entries.append(addressbook::Entry{});
}

void FormAddressBook::CommandModifyEntry_Click()
{
    const int i = selected();
    if (i < 0 || i >= entries.size())
        return;
    TextNewName->setText(entries[i].name);
    TextNewNumber->setText(entries[i].number);
    setEditing(true);
    TextNewName->setFocus();
}

void FormAddressBook::CommandStore_Click()
{
    const int i = selected();
    if (i >= 0 && i < entries.size())
        entries[i] = {addressbook::stored(TextNewName->text()), addressbook::stored(TextNewNumber->text())};
    setEditing(false);
    modifyAddressBook();
    loadAddressBook();
}

} // namespace gx
