// The component table of the main window.
#pragma once

#include "ui/form.h"

namespace qp {

ui::FormDef MainFormDef();

// Language menu entries miLang1..miLang4 stand for language numbers 0..3.
inline constexpr const char* kLanguageItems[] = {"miLang1", "miLang2", "miLang3", "miLang4"};

}  // namespace qp
