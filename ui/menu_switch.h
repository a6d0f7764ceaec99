// A switch the user turns on and off through menu entries: one in the main menu and, for
// some, a twin in the tray menu. Both always show the same tick.
#pragma once

#include <string>
#include <vector>

#include "ui/form.h"

namespace qp::ui {

class MenuSwitch {
 public:
  // The entries must be declared by the form (Form::Get).
  MenuSwitch(Form& form, std::vector<std::string> entries);
  bool On() const;
  void Set(bool on);
  // The entry's click: the opposite of what it shows now; the new state.
  bool Toggle();

 private:
  std::vector<Component*> entries_;
};

}  // namespace qp::ui
