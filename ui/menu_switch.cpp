// A switch shown by one or two menu entries.
#include "ui/menu_switch.h"

namespace qp::ui {

MenuSwitch::MenuSwitch(Form& form, std::vector<std::string> entries) {
  for (const std::string& name : entries) entries_.push_back(&form.Get(name));
}

bool MenuSwitch::On() const { return !entries_.empty() && entries_.front()->Checked(); }

void MenuSwitch::Set(bool on) {
  for (Component* entry : entries_) entry->SetChecked(on);
}

bool MenuSwitch::Toggle() {
  Set(!On());
  return On();
}

}  // namespace qp::ui
