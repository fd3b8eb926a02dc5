#pragma once

// The about box: name, version and build of the program, and the system-information button.

#include <QDialog>

namespace gx {

class Desktop;

// The about box: program name, version and build texts, and a button that
// starts the platform's system-information tool (disabled where there is none).
class AboutBox final : public QDialog {
    Q_OBJECT
public:
    AboutBox(Desktop& desktop, QWidget* parent);
    static QString versionText();
    static QString buildText();
};

} // namespace gx
