#pragma once

// A print-out as pages of lines, each line made of pieces placed at character columns.

#include <QList>
#include <QString>
#include <QStringList>

namespace gx {

// A print-out as lines of text in one font. A line is made of pieces, each
// meant to start at a character column: as text, a piece is padded to its
// column with blanks; on paper, where a proportional font would not line the
// blanks up, each piece is placed at its column's position.
struct PrintPiece {
    int column = 0;
    QString text;
};

struct PrintLine {
    QList<PrintPiece> pieces;

    // The line as the program builds it: each piece after the text before it
    // has been padded with blanks to the piece's column.
    QString text() const
    {
        QString out;
        for (const PrintPiece& p : pieces) {
            if (out.size() < p.column)
                out = out.leftJustified(p.column, QLatin1Char(' '));
            out += p.text;
        }
        return out;
    }
    static PrintLine plain(const QString& text) { return PrintLine{{{0, text}}}; }
};

struct PrintDocument {
    QString fontFamily = QStringLiteral("Arial");
    int pointSize = 10;
    QList<QList<PrintLine>> pages;

    // Every line of every page as text, pages one after the other.
    QStringList lines() const
    {
        QStringList out;
        for (const auto& page : pages)
            for (const PrintLine& l : page)
                out << l.text();
        return out;
    }
};

} // namespace gx
