// Kind properties and lookups shared by every window.
#include "ui/form.h"

#include <stdexcept>

namespace qp::ui {

bool HasCaption(Kind kind) {
  switch (kind) {
    case Kind::Edit:
    case Kind::Memo:
    case Kind::ComboBox:
    case Kind::ProgressBar:
    case Kind::ListView:
    case Kind::TreeView:
    case Kind::Separator:
    case Kind::PopupMenu:
    case Kind::PageControl:
    case Kind::SpinEdit: return false;
    default: return true;
  }
}

bool HasHint(Kind kind) { return !IsMenuKind(kind) && kind != Kind::StatusBar; }

bool IsMenuKind(Kind kind) { return kind == Kind::Menu || kind == Kind::MenuItem || kind == Kind::Separator || kind == Kind::PopupMenu; }

std::string Shortcut::Text() const {
  if (key == 0) return {};
  std::string text;
  if (modifiers & kCtrl) text += "Ctrl+";
  if (modifiers & kShift) text += "Shift+";
  if (modifiers & kAlt) text += "Alt+";
  if (key >= kKeyF1 && key < kKeyF1 + 24) {
    text += "F" + std::to_string(key - kKeyF1 + 1);
  } else if (key == 0x1B) {
    text += "Esc";
  } else if (key == 0x2E) {
    text += "Del";
  } else {
    text += static_cast<char>(key);  // letters and digits share their virtual-key codes
  }
  return text;
}

Component* Form::Find(std::string_view name) {
  for (std::size_t i = 0; i < ComponentCount(); ++i) {
    if (ComponentAt(i).Name() == name) return &ComponentAt(i);
  }
  return nullptr;
}

Component& Form::Get(std::string_view name) {
  if (Component* found = Find(name)) return *found;
  throw std::logic_error(Name() + " declares no component " + std::string(name));
}

}  // namespace qp::ui
