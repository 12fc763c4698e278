#include "ui/main/MainFonts.h"

#include <QStringList>

namespace velmora::ui {

namespace {

QFont SongFont(qreal pointSize) {
  QFont font;
  font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("Noto Serif CJK SC"),
                    QStringLiteral("Noto Sans CJK SC")});
  font.setPointSizeF(pointSize);
  return font;
}

}  // namespace

QFont WindowFont() { return SongFont(9.75); }

QFont HeaderTitleFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Arial Black"), QStringLiteral("Noto Sans CJK SC"),
                    QStringLiteral("DejaVu Sans")});
  font.setPointSizeF(12);
  font.setBold(true);
  return font;
}

QFont HeaderCaptionFont() { return SongFont(10.5); }

}  // namespace velmora::ui
