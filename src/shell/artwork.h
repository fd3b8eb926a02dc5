#pragma once

// The program's own pictures, drawn at run time: the generator set and the status windows' icons.

#include <QPixmap>

namespace gx::artwork {

// Pictures of the program's own, drawn at run time so nothing depends on image files.
QPixmap generatorSet(const QSize& size);
QPixmap statusIcon(bool error, int size);

} // namespace gx::artwork
