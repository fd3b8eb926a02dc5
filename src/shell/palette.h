#pragma once

// The colours of the monitor, network and editor screens, the system ones taken from the desktop.

#include <QColor>

namespace gx {

// The colours the monitor, network and editor screens use. The system colours
// (workspace, border, button face) follow the desktop's palette.
struct ColourPalette {
    QColor ColourRed, ColourYellow, ColourCyan, ColourBlack, ColourGreen, ColourWorkspace,
        ColourBorder, ColourOrange, ColourLightOrange, ColourOlive, ColourDarkOlive, ColourWhite,
        ColourButtonFace;
    static ColourPalette standard();
};

} // namespace gx
