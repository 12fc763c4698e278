#pragma once
// The program's own pictures: the window icon (also shown in the header and
// passed to the About and search windows) and the 1600 x 70 header banner.

#include <QIcon>
#include <QPixmap>

namespace velmora::ui {

QIcon VelmoraIcon();
QPixmap HeaderBanner();

}  // namespace velmora::ui
