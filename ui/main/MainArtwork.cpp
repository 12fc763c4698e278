#include "ui/main/MainArtwork.h"

// The pictures live in a static library, so their resource file has to be
// registered by hand (outside any namespace, as the macro requires).
static void RegisterArtwork() { Q_INIT_RESOURCE(velmora); }

namespace velmora::ui {

QIcon VelmoraIcon() {
  RegisterArtwork();
  // An installed program takes the icon theme's (which the user may have
  // replaced); the built-in pictures stand in otherwise.
  const QIcon themed = QIcon::fromTheme(QStringLiteral("org.velmora.Velmora"));
  if (!themed.isNull()) return themed;
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/velmora/velmora-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

QPixmap HeaderBanner() {
  RegisterArtwork();
  return QPixmap(QStringLiteral(":/velmora/banner.png"));
}

}  // namespace velmora::ui
