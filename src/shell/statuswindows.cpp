// Making, sizing and placing the status windows, timing the information one out, beeping with errors.

#include "statuswindows.h"

#include "artwork.h"
#include "twips.h"

#include "platform/desktop.h"
#include "platform/waiter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace gx {

namespace {
constexpr int TwipsPerCharacter = 200;
}

StatusWindows::StatusWindows(Waiter& waiter, Desktop& desktop, QWidget* owner)
    : m_waiter(waiter), m_desktop(desktop), m_owner(owner)
{
}

StatusWindows::~StatusWindows()
{
    delete m_ok;
    delete m_error;
}

QWidget* StatusWindows::makeWindow(bool error)
{
    auto* w = new QWidget(m_owner, Qt::Tool | Qt::WindowStaysOnTopHint);
    w->setObjectName(error ? QStringLiteral("FormStatusError") : QStringLiteral("FormStatusOK"));
    w->setWindowTitle(QStringLiteral("GX510-520"));
    w->setAttribute(Qt::WA_ShowWithoutActivating);
    auto* row = new QHBoxLayout;
    auto* image = new QLabel;
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(artwork::statusIcon(error, 32));
    auto* label = new QLabel;
    label->setObjectName(QStringLiteral("LabelStatus"));
    label->setWordWrap(false);
    row->addWidget(image);
    row->addWidget(label, 1);
    auto* column = new QVBoxLayout(w);
    column->addLayout(row);
    if (error) {
        auto* ok = new QPushButton(QStringLiteral("OK"));
        ok->setObjectName(QStringLiteral("CommandAccept"));
        QObject::connect(ok, &QPushButton::clicked, w, [this] { CommandAccept_Click(); });
        column->addWidget(ok, 0, Qt::AlignHCenter);
    }
    return w;
}

void StatusWindows::place(QWidget* window, const QString& message)
{
    window->findChild<QLabel*>(QStringLiteral("LabelStatus"))->setText(message);
    const int width = twipsToPixelsX(double(TwipsPerCharacter) * message.size(), window);
    window->setFixedWidth(std::max(width, window->minimumSizeHint().width()));
    if (m_owner && !window->isVisible()) {
        const QRect g = m_owner->frameGeometry();
        window->move(g.center().x() - window->width() / 2, g.top() + g.height() / 3);
    }
}

void StatusWindows::displayStatus(const QString& displayMessage, int duration, int icon)
{
    if (icon == 1) {
        if (!m_error)
            m_error = makeWindow(true);
        place(m_error, displayMessage);
        if (m_ok)
            m_ok->hide();
        m_desktop.beep();
        m_error->show();
    } else {
        if (!m_ok)
            m_ok = makeWindow(false);
        place(m_ok, displayMessage);
        if (m_error)
            m_error->hide();
        m_ok->show();
    }
    if (duration > 0) {
        m_waiter.pause(duration);
        if (m_ok)
            m_ok->hide();
        if (m_error)
            m_error->hide();
    } else {
        m_waiter.yieldOnce(); // draw the window now
    }
}

void StatusWindows::showFor(const QString& message, int seconds)
{
    if (!m_ok)
        m_ok = makeWindow(false);
    place(m_ok, message);
    m_ok->show();
    QTimer::singleShot(seconds * 1000, m_ok, [this, message] {
        if (m_ok && m_ok->findChild<QLabel*>(QStringLiteral("LabelStatus"))->text() == message)
            m_ok->hide();
    });
}

void StatusWindows::CommandAccept_Click()
{
    if (m_error) {
        m_error->hide();
        m_error->deleteLater();
    }
    m_error = nullptr;
}

} // namespace gx
