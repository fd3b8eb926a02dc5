// The settings dialog's Fleet page.

#include "remote/fleetpage.h"

#include "monitor/fleetsettings.h"
#include "platform/credentials.h"
#include "platform/filestore.h"
#include "platform/settingsstore.h"

#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace gx {

FleetPage::FleetPage(SettingsStore& settings, FileStore* files, QWidget* parent)
    : QWidget(parent), credentialsPath(defaultFleetCredentialsPath()), m_settings(settings), m_files(files)
{
    setObjectName(QStringLiteral("FleetPage"));
    if (!m_files) {
        m_ownFiles = std::make_unique<FileStore>();
        m_files = m_ownFiles.get();
    }
    auto* column = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral(
        "The fleet board (View > Fleet) reads every site that gxctl serve publishes to this MQTT broker."));
    intro->setWordWrap(true);
    column->addWidget(intro);
    auto* form = new QFormLayout;
    auto field = [&](QLineEdit*& edit, const char* name, const QString& label, const QString& tip) {
        edit = new QLineEdit;
        edit->setObjectName(QString::fromLatin1(name));
        edit->setToolTip(tip);
        form->addRow(label, edit);
    };
    field(TextFleetBroker, "TextFleetBroker", QStringLiteral("Broker:"),
          QStringLiteral("mqtt://HOST:PORT, or mqtts://HOST:PORT for TLS; empty: the board stays unconnected"));
    TextFleetBroker->setPlaceholderText(QStringLiteral("mqtt://broker.example:1883"));
    field(TextFleetUser, "TextFleetUser", QStringLiteral("User name:"),
          QStringLiteral("Empty when the broker takes anonymous connections"));
    field(TextFleetPassword, "TextFleetPassword", QStringLiteral("Password:"),
          QStringLiteral("Kept with the user name in a file that only you can read"));
    TextFleetPassword->setEchoMode(QLineEdit::Password);
    field(TextFleetCaFile, "TextFleetCaFile", QStringLiteral("CA file:"),
          QStringLiteral("The certificate authority of an mqtts:// broker; empty: the system's"));
    field(TextFleetPrefix, "TextFleetPrefix", QStringLiteral("Topic prefix:"),
          QStringLiteral("The --topic-prefix of the services (gx520 unless they were told otherwise)"));
    column->addLayout(form);
    LabelFleetProblem = new QLabel;
    LabelFleetProblem->setObjectName(QStringLiteral("LabelFleetProblem"));
    LabelFleetProblem->setWordWrap(true);
    LabelFleetProblem->setStyleSheet(QStringLiteral("color: #b00000;"));
    LabelFleetProblem->hide();
    column->addWidget(LabelFleetProblem);
    column->addStretch(1);
}

FleetPage::~FleetPage() = default;

void FleetPage::showProblem(const QString& text)
{
    LabelFleetProblem->setText(text);
    LabelFleetProblem->setVisible(!text.isEmpty());
}

void FleetPage::load()
{
    const FleetSettings s = FleetSettings::load(m_settings);
    TextFleetBroker->setText(s.broker);
    TextFleetCaFile->setText(s.caFile);
    TextFleetPrefix->setText(s.topicPrefix);
    TextFleetUser->clear();
    TextFleetPassword->clear();
    showProblem(QString());
    if (s.credentialsFile.isEmpty())
        return;
    credentialsPath = s.credentialsFile;
    QString why;
    if (const auto c = readCredentialsFile(s.credentialsFile, &why)) {
        TextFleetUser->setText(c->user);
        TextFleetPassword->setText(c->password);
    } else {
        showProblem(QStringLiteral("The credentials file ") + why);
    }
}

bool FleetPage::apply()
{
    FleetSettings s;
    s.broker = TextFleetBroker->text().trimmed();
    s.caFile = TextFleetCaFile->text().trimmed();
    s.topicPrefix = TextFleetPrefix->text().trimmed();
    if (s.topicPrefix.isEmpty())
        s.topicPrefix = QStringLiteral("gx520");
    const QString user = TextFleetUser->text().trimmed();
    QString problem = s.problem();
    if (problem.isEmpty() && user.isEmpty() && !TextFleetPassword->text().isEmpty())
        problem = QStringLiteral("A password needs a user name");
    if (problem.isEmpty() && !user.isEmpty()) {
        QDir().mkpath(QFileInfo(credentialsPath).absolutePath());
        QString why;
        if (!writeCredentialsFile(*m_files, credentialsPath, {user, TextFleetPassword->text()}, &why))
            problem = QStringLiteral("The user name and password could not be saved to %1: %2")
                          .arg(QDir::toNativeSeparators(credentialsPath), why);
        s.credentialsFile = credentialsPath;
    }
    showProblem(problem);
    if (!problem.isEmpty())
        return false;
    s.save(m_settings);
    return true;
}

} // namespace gx
