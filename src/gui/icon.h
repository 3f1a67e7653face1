// In this file: the program's icon, painted in code so that the window and the about box need
// no image plug-in. packaging/kolvane.svg is the same drawing for the desktop.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace kolvane {

// The icon at the given edge length in pixels.
QPixmap KolvanePixmap(int size);
// The icon at the usual sizes, for the window and the task bar.
QIcon KolvaneIcon();

}  // namespace kolvane
