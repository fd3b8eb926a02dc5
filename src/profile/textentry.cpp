// The validator and hooks that keep text boxes to the characters a profile can hold.

#include "profile/textentry.h"

#include "profile/singlebyte.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace gx {

QValidator::State SingleByteValidator::validate(QString& input, int&) const
{
    fixup(input);
    return Acceptable;
}

void SingleByteValidator::fixup(QString& input) const
{
    if (!isSingleByteText(input))
        input = toSingleByte(input);
}

void keepSingleByte(QLineEdit* box)
{
    box->setValidator(new SingleByteValidator(box));
}

void keepSingleByte(QPlainTextEdit* box)
{
    // QTextDocument uses U+2029 between paragraphs and U+2028 for a line
    // break within one; both are line ends here.
    QObject::connect(box, &QPlainTextEdit::textChanged, box, [box] {
        const QString text = box->document()->toRawText();
        QList<qsizetype> foreign;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t u = text[i].unicode();
            if (u != 0x2029 && u != 0x2028 && !isSingleByte(text[i], true))
                foreign << i;
        }
        if (foreign.isEmpty())
            return;
        QTextCursor c(box->document());
        c.beginEditBlock();
        for (auto it = foreign.crbegin(); it != foreign.crend(); ++it) {
            c.setPosition(int(*it));
            c.setPosition(int(*it) + 1, QTextCursor::KeepAnchor);
            c.insertText(toSingleByte(QString(text[*it])));
        }
        c.endEditBlock();
    });
}

} // namespace gx
