// Text boxes that take only what the controller and the files can hold.
#pragma once

#include <QValidator>

class QLineEdit;
class QPlainTextEdit;

namespace gx {

// Typed or pasted text is kept to one byte a character as it arrives: a
// typographic quote or dash becomes its plain twin, any other foreign
// character "?", so what the box shows is what is stored.
class SingleByteValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
};

// Gives the box a SingleByteValidator.
void keepSingleByte(QLineEdit* box);
// The same for a multi-line box: CR, LF and tab are kept too.
void keepSingleByte(QPlainTextEdit* box);

} // namespace gx
