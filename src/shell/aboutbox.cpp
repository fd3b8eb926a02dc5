// The about box's texts and layout, and starting the system-information tool from it.

#include "aboutbox.h"

#include "artwork.h"

#include "platform/desktop.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>

namespace gx {

QString AboutBox::versionText()
{
    return QStringLiteral("Version 2.2.0");
}

QString AboutBox::buildText()
{
    return QStringLiteral("Built %1 %2 with Qt %3 for %4")
        .arg(QStringLiteral(__DATE__), QStringLiteral(__TIME__), QStringLiteral(QT_VERSION_STR),
             QSysInfo::buildAbi());
}

AboutBox::AboutBox(Desktop& desktop, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About GX510-520 Program / Monitor"));
    setModal(false);
    auto* picture = new QLabel;
    picture->setPixmap(artwork::generatorSet(QSize(120, 90)));
    auto* title = new QLabel(QStringLiteral("<b>GX510-520 Program / Monitor</b>"));
    title->setObjectName(QStringLiteral("lblTitle"));
    auto* version = new QLabel(versionText());
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* build = new QLabel(buildText());
    build->setObjectName(QStringLiteral("lblBuild"));
    auto* description =
        new QLabel(QStringLiteral("Programs and monitors GX510 and GX520 generator-set controllers "
                                  "on a local line, an RS485 network or a modem."));
    description->setWordWrap(true);
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("cmdOK"));
    auto* sysInfo = new QPushButton(QStringLiteral("System Info..."));
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    sysInfo->setEnabled(!desktop.systemInfoTool().isEmpty());
    if (!sysInfo->isEnabled())
        sysInfo->setToolTip(QStringLiteral("No system-information tool is installed"));
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    connect(sysInfo, &QPushButton::clicked, this, [&desktop] { desktop.startSystemInfo(); });

    auto* text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(version);
    text->addWidget(build);
    text->addWidget(description);
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addLayout(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(sysInfo);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(buttons);
}

} // namespace gx
