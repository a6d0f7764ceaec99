// A window's commands as a table.
#include "ui/commands.h"

#include <stdexcept>

namespace qp::ui {

Commands& Commands::On(std::string name, Click click) {
  entries_.push_back({std::move(name), [click = std::move(click)](int) { click(); }});
  return *this;
}

Commands& Commands::OnLabel(std::string name, Click click) {
  entries_.push_back({std::move(name), [click = std::move(click)](int code) {
                        if (code == kClicked) click();
                      }});
  return *this;
}

Commands& Commands::OnNotify(std::string name, Notify notify) {
  entries_.push_back({std::move(name), std::move(notify)});
  return *this;
}

Commands& Commands::OnEach(std::string_view prefix, int first, int last, std::function<void(int n, int code)> handler) {
  for (int n = first; n <= last; ++n) {
    entries_.push_back({std::string(prefix) + std::to_string(n), [handler, n](int code) { handler(n, code); }});
  }
  return *this;
}

void Commands::Bind(Form& form) {
  by_index_.assign(form.ComponentCount(), nullptr);
  for (const Entry& entry : entries_) {
    bool found = false;
    for (std::size_t i = 0; i < form.ComponentCount(); ++i) {
      if (form.ComponentAt(i).Name() != entry.name) continue;
      if (by_index_[i]) throw std::logic_error(form.Name() + " has two commands for " + entry.name);
      by_index_[i] = &entry.handler;
      found = true;
      break;
    }
    if (!found) throw std::logic_error(form.Name() + " declares no component " + entry.name + " for its command");
  }
}

bool Commands::Run(std::size_t index, int code) const {
  if (index >= by_index_.size() || !by_index_[index]) return false;
  (*by_index_[index])(code);
  return true;
}

}  // namespace qp::ui
