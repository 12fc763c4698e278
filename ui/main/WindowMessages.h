#pragma once
// The main window's message boxes, through the desktop services: a notice
// with an OK button, and a question with Yes and No; both carry the
// application title as caption.

#include <QString>

#include "ui/common/UiServices.h"

namespace velmora::ui {

void ShowNotice(QWidget* owner, const QString& strText, MsgIcon icon = MsgIcon::Information);

// True when the user answers Yes.
bool AskYesNo(QWidget* owner, const QString& strText, MsgIcon icon, MsgAnswer defaultAnswer);

}  // namespace velmora::ui
