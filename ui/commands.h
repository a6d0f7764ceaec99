// A window's commands as a table: which handler a control or menu entry runs, by the
// component's name. Every name is checked against the window's own table when it is bound.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/form.h"

namespace qp::ui {

class Commands {
 public:
  // Runs on every notification of the component (a click, a menu choice, a shortcut).
  using Click = std::function<void()>;
  // Gets the notification code: for controls that tell several things apart.
  using Notify = std::function<void(int code)>;

  Commands& On(std::string name, Click click);
  // A label's click: its double click (a notification of its own) is a second click the
  // first already answered, and does nothing.
  Commands& OnLabel(std::string name, Click click);
  Commands& OnNotify(std::string name, Notify notify);
  // The numbered family prefix + first .. prefix + last ("bb1".."bb22"); the handler gets
  // the number and the notification code.
  Commands& OnEach(std::string_view prefix, int first, int last, std::function<void(int n, int code)> handler);

  // The notification code of a click (a button's, a label's, a menu entry's chosen by the
  // mouse).
  static constexpr int kClicked = 0;

  // Ties every name to the form's component index; throws std::logic_error for a name the
  // form does not declare, so a misspelt or missing entry fails at once.
  void Bind(Form& form);
  // Runs the handler of the component at that index; false when it has none.
  bool Run(std::size_t index, int code) const;

 private:
  struct Entry {
    std::string name;
    Notify handler;
  };
  std::vector<Entry> entries_;
  std::vector<const Notify*> by_index_;
};

}  // namespace qp::ui
