#pragma once

// The information and error windows every operation reports its progress and outcome through.

#include "link/statussink.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace gx {

class Desktop;
class Waiter;

// The two small message windows every operation reports through: an
// information window, and an error window with an "OK" button and a beep.
// Each is sized at 200 twips a character of its message.
class StatusWindows final : public StatusSink {
public:
    StatusWindows(Waiter& waiter, Desktop& desktop, QWidget* owner);
    ~StatusWindows() override;

    void displayStatus(const QString& displayMessage, int duration, int icon) override;
    // The information window with `message`, hidden after `seconds` unless
    // another message has taken it meanwhile; nothing waits for it.
    void showFor(const QString& message, int seconds);
    // The "OK" button of the error window: closes (unloads) it.
    void CommandAccept_Click();

    QWidget* FormStatusOK() const { return m_ok; }
    QWidget* FormStatusError() const { return m_error; }

private:
    QWidget* makeWindow(bool error);
    void place(QWidget* window, const QString& message);

    Waiter& m_waiter;
    Desktop& m_desktop;
    QPointer<QWidget> m_owner;
    QPointer<QWidget> m_ok;
    QPointer<QWidget> m_error;
};

} // namespace gx
