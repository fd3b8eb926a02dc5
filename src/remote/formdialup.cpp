// "Dial up": the number, the PIN and the progress of the dial sequence.

#include "remote/formdialup.h"

#include "platform/settingsstore.h"
#include "profile/textentry.h"

#include <QFont>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace gx {

FormDialup::FormDialup(SettingsStore& settings, QWidget* parent) : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("FormDialup"));
    setWindowTitle(QStringLiteral("Dial up"));
    auto* form = new QFormLayout;
    auto edit = [&](QLineEdit*& e, const char* name, const QString& label) {
        e = new QLineEdit;
        e->setObjectName(QString::fromLatin1(name));
        form->addRow(label, e);
    };
    edit(TextPhoneNumber, "TextPhoneNumber", QStringLiteral("Phone number:"));
    edit(TextRemotePIN, "TextRemotePIN", QStringLiteral("Remote PIN:"));
    edit(TextStatus, "TextStatus", QStringLiteral("Status:"));
    TextRemotePIN->setMaxLength(4);
    // The number goes into the modem's dial command as typed: one byte a character.
    keepSingleByte(TextPhoneNumber);
    keepSingleByte(TextRemotePIN);
    QFont fixed(QStringLiteral("Courier New"));
    fixed.setStyleHint(QFont::TypeWriter);
    TextRemotePIN->setFont(fixed);
    TextStatus->setReadOnly(true);
    TextStatus->setMinimumWidth(320);

    auto* buttons = new QHBoxLayout;
    auto button = [&](QPushButton*& b, const char* name, const QString& caption) {
        b = new QPushButton(caption);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
    };
    button(CommandDial, "CommandDial", QStringLiteral("Dial"));
    button(CommandAddressBook, "CommandAddressBook", QStringLiteral("Address book..."));
    button(CommandCancel, "CommandCancel", QStringLiteral("Cancel"));
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(form);
    outer->addLayout(buttons);

    connect(TextPhoneNumber, &QLineEdit::textChanged, this, &FormDialup::TextPhoneNumber_Change);
    connect(TextRemotePIN, &QLineEdit::textChanged, this, &FormDialup::TextPhoneNumber_Change);
    connect(CommandDial, &QPushButton::clicked, this, &FormDialup::dialClicked);
    connect(CommandCancel, &QPushButton::clicked, this, &FormDialup::cancelClicked);
    connect(CommandAddressBook, &QPushButton::clicked, this, &FormDialup::addressBookClicked);
}

void FormDialup::Form_Load()
{
    TextPhoneNumber->setText(m_settings.setting(QStringLiteral("LastNumber")));
    CommandDial->setEnabled(false);
    TextPhoneNumber_Change();
    TextStatus->setText(QStringLiteral("Idle..."));
}

void FormDialup::TextPhoneNumber_Change()
{
    CommandDial->setEnabled(!m_dialling && !TextPhoneNumber->text().isEmpty() && TextRemotePIN->text().size() > 3);
}

void FormDialup::setDialling(bool dialling)
{
    m_dialling = dialling;
    for (QWidget* w : std::initializer_list<QWidget*>{TextPhoneNumber, TextRemotePIN, CommandAddressBook})
        w->setEnabled(!dialling);
    TextPhoneNumber_Change();
}

void FormDialup::reject()
{
    // The main window ends the dial and closes the dialog.
    emit cancelClicked();
}

} // namespace gx
