#include "ui/main/WindowMessages.h"

#include "engine/ProductInfo.h"

namespace velmora::ui {
namespace {

MessageRequest TitledRequest(QWidget* owner, const QString& strText, MsgIcon icon) {
  MessageRequest request;
  request.owner = owner;
  request.text = strText;
  request.caption = QString::fromUtf8(kApplicationTitle);
  request.icon = icon;
  return request;
}

}  // namespace

void ShowNotice(QWidget* owner, const QString& strText, MsgIcon icon) {
  Services().ShowMessage(TitledRequest(owner, strText, icon));
}

bool AskYesNo(QWidget* owner, const QString& strText, MsgIcon icon, MsgAnswer defaultAnswer) {
  MessageRequest request = TitledRequest(owner, strText, icon);
  request.buttons = MsgButtons::YesNo;
  request.defaultButton = defaultAnswer;
  return Services().ShowMessage(request) == MsgAnswer::Yes;
}

}  // namespace velmora::ui
