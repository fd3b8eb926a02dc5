// Text as the controller and the program's files hold it: one byte a character.
#pragma once

#include <QString>

namespace gx {

// The characters a profile, the address book and the modem's dial string can
// hold: the printable characters of ISO 8859-1 (Latin-1), blank included;
// `lineBreaks` also lets CR, LF and tab through (the notes). Everything else
// (a typographic quote or dash, the euro sign, a control character) is foreign.
bool isSingleByte(QChar c, bool lineBreaks = false);
bool isSingleByteText(const QString& text, bool lineBreaks = false);

// The text as it can be kept: a typographic quote, dash or blank becomes its
// plain twin (’ to ', “ to ", – to -), any other foreign character "?". The
// length does not change.
QString toSingleByte(const QString& text, bool lineBreaks = false);

// The text for a message, foreign characters written as <92> or <U+20AC>.
QString markedForeign(const QString& text, bool lineBreaks = false);

} // namespace gx
