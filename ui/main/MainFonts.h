#pragma once
// The main window's fonts. The designed faces are Windows fonts; each has
// fallbacks among the CJK fonts a Debian desktop has (fonts-noto-cjk), so
// Chinese text never renders as empty boxes. SimSun is a Song (serif) face,
// so its first fallback is the serif Noto face.

#include <QFont>

namespace velmora::ui {

// SimSun 9.75 pt: every control without a font of its own.
QFont WindowFont();
// Arial Black 12 pt bold: the product title in the header.
QFont HeaderTitleFont();
// SimSun 10.5 pt: the caption under the title in the header.
QFont HeaderCaptionFont();

}  // namespace velmora::ui
