// The program's message boxes and questions as Qt message boxes.

#include "dialogs.h"

#include <QMessageBox>

namespace gx {

Dialogs::Answer QtDialogs::askOkCancel(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok | QMessageBox::Cancel, m_parent);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    return box.exec() == QMessageBox::Ok ? Ok : Cancel;
}

void QtDialogs::inform(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

void QtDialogs::warn(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

} // namespace gx
