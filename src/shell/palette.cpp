// The standard colour palette, its system colours read from the application's palette.

#include "palette.h"

#include <QApplication>
#include <QPalette>

namespace gx {

ColourPalette ColourPalette::standard()
{
    const QPalette system = QApplication::palette();
    ColourPalette c;
    c.ColourRed = QColor(0xFF, 0x00, 0x00);
    c.ColourYellow = QColor(0xFF, 0xFF, 0x00);
    c.ColourCyan = QColor(0x00, 0xFF, 0xFF);
    c.ColourBlack = QColor(0x00, 0x00, 0x00);
    c.ColourGreen = QColor(0x00, 0xFF, 0x00);
    c.ColourWorkspace = system.color(QPalette::Dark);
    c.ColourBorder = system.color(QPalette::Mid);
    c.ColourOrange = QColor(0xFF, 0x80, 0x00);
    c.ColourLightOrange = QColor(0xFF, 0x80, 0x40);
    c.ColourOlive = QColor(0xC0, 0xC0, 0x00);
    c.ColourDarkOlive = QColor(0x80, 0x80, 0x00);
    c.ColourWhite = QColor(0xFF, 0xFF, 0xFF);
    c.ColourButtonFace = system.color(QPalette::Button);
    return c;
}

} // namespace gx
