// The open, save and folder dialogs through QFileDialog, and the program's filters turned into Qt's.

#include "filedialogs.h"

#include <QFileDialog>

namespace gx {

QString QtFileDialogs::qtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (parts.size() < 2)
        return filter;
    QString patterns = parts[1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    QString description = parts[0];
    const qsizetype open = description.indexOf(QLatin1Char('('));
    if (open >= 0)
        description = description.left(open).trimmed();
    return QStringLiteral("%1 (%2)").arg(description, patterns);
}

QString QtFileDialogs::getSaveFileName(const QString& title, const QString& folder, const QString& filter)
{
    QFileDialog d(m_parent, title, folder, qtFilter(filter));
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    d.setDefaultSuffix(QString());  // a name typed without an extension is used as typed
    d.setOption(QFileDialog::DontConfirmOverwrite, false);
    return d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty() ? d.selectedFiles().first() : QString();
}

QString QtFileDialogs::getOpenFileName(const QString& title, const QString& folder, const QString& filter)
{
    QFileDialog d(m_parent, title, folder, qtFilter(filter));
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setFileMode(QFileDialog::ExistingFile);
    return d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty() ? d.selectedFiles().first() : QString();
}

QString QtFileDialogs::getExistingDirectory(const QString& title, const QString& folder)
{
    return QFileDialog::getExistingDirectory(m_parent, title, folder);
}

} // namespace gx
