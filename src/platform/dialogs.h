#pragma once

// The message-box seam: OK/Cancel questions, plain messages and warnings, and their Qt message boxes.

#include <QString>

class QWidget;

namespace gx {

// Message boxes and questions. Tests answer them through a fake.
class Dialogs {
public:
    enum Answer { Ok, Cancel };
    virtual ~Dialogs() = default;

    // OK and Cancel, exclamation icon, kept in front of all windows.
    virtual Answer askOkCancel(const QString& text, const QString& title) = 0;
    // A message with only an OK button.
    virtual void inform(const QString& text, const QString& title) = 0;
    // The same with the exclamation icon (the modem's errors).
    virtual void warn(const QString& text, const QString& title) = 0;
};

class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    Answer askOkCancel(const QString& text, const QString& title) override;
    void inform(const QString& text, const QString& title) override;
    void warn(const QString& text, const QString& title) override;

private:
    QWidget* m_parent;
};

} // namespace gx
