#pragma once
// How the preview treats a stored file, decided by its extension: whether
// the user must confirm it first (executables and scripts), under which
// extension its preview copy is written, and whether it is always shown
// from a copy (anything the browser would not show as it is).

#include <string>

namespace velmora::app {

enum class PreviewConfirmation { None, Executable, Script };

struct PreviewChoice {
  PreviewConfirmation confirmation = PreviewConfirmation::None;
  std::string strCopyExtension;  // the preview copy is "~preview." + this
  bool blnForceCopy = false;     // shown from a copy even when previewing in place
};

// strExtension is the lower-cased text after the name's last "." (empty
// when there is none), as basVelmora::GetFileExtension gives it.
PreviewChoice ChoosePreview(const std::string& strExtension);

}  // namespace velmora::app
