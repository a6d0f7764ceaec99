// One declared component of a table-built window, bound to its control or menu entry:
// its texts and states read and set through the control itself.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/form.h"

namespace qp::ui {

// The labels of a label's row show their whole texts, as labels that size themselves do: each
// grows to its text (never below its design width) and, where the text before it would run
// into it, moves right to a blank after that text; a row that would pass the window's edge
// closes up from the right. Kept at design where everything fits. A row is the one-line
// labels at one height on one page; a label two lines tall wraps its text and stays as it is.
void FitLabelRow(HWND label);
// Drawing of a list or tree stops while it is refilled, and the whole shows at the end.
class FrozenDrawing {
 public:
  explicit FrozenDrawing(HWND control);
  ~FrozenDrawing();
  FrozenDrawing(const FrozenDrawing&) = delete;
  FrozenDrawing& operator=(const FrozenDrawing&) = delete;

 private:
  HWND control_;
};
// A control's font; redraw shows it at once.
void SetControlFont(HWND control, HFONT font, bool redraw);
// The window property naming the page a control lies on (its TabSheet's id), 0 for none.
inline constexpr wchar_t kPageProperty[] = L"QpPage";

class WinComponent final : public Component {
 public:
  // owner: the window whose menu bar is redrawn when a title of it changes.
  WinComponent(HWND& owner, const ControlDef& def, UINT id) : owner_(owner), def_(def), id_(id), caption_(def.caption), hint_(def.hint) {}

  const ControlDef& Def() const override { return def_; }
  UINT Id() const { return id_; }
  HWND Hwnd() const { return hwnd_; }
  HMENU Submenu() const { return submenu_; }
  // The hint as the tooltip asks for it; valid until the next call.
  const std::wstring& WideHint();

  void BindControl(HWND hwnd) { hwnd_ = hwnd; }
  void BindRadioItems(std::vector<HWND> items) { radio_items_ = std::move(items); }
  const std::vector<HWND>& RadioItems() const { return radio_items_; }
  void BindArrows(HWND arrows) { arrows_ = arrows; }
  HWND Arrows() const { return arrows_; }  // a number box's up-down control
  void BindMenu(HMENU parent, UINT position, HMENU submenu) {
    parent_menu_ = parent;
    position_ = position;
    submenu_ = submenu;
  }
  bool InMenu() const { return parent_menu_ != nullptr; }
  // The menu entry's text: the caption, a tab and the shortcut.
  std::string MenuLabel() const;
  // The caption a control is made with: the table's, or what was set before.
  const std::string& InitialCaption() const { return caption_; }

  std::string Caption() const override;
  void SetCaption(std::string_view text) override;
  std::string Hint() const override { return hint_; }
  void SetHint(std::string_view text) override { hint_ = std::string(text); }
  std::vector<std::string> Lines() const override;
  void SetLine(std::size_t index, std::string_view text) override;
  bool Checked() const override;
  void SetChecked(bool checked) override;
  bool Enabled() const override;
  void SetEnabled(bool enabled) override;
  int ItemIndex() const override;
  void SetItemIndex(int index) override;
  void SetItems(const std::vector<std::string>& items) override;
  void SetMaxLength(int count) override;
  Selection GetSelection() const override;
  void SetSelection(Selection selection) override;
  void ReplaceSelection(std::string_view text) override;
  bool DroppedDown() const override;
  void SetDroppedDown(bool open) override;
  void SetRange(int high, int step) override;
  int Position() const override;
  void SetPosition(int position) override;
  void Step() override;

 private:
  std::string StatusText() const;

  HWND& owner_;
  ControlDef def_;
  UINT id_;
  HWND hwnd_ = nullptr;
  HMENU parent_menu_ = nullptr;
  UINT position_ = 0;
  HMENU submenu_ = nullptr;
  std::string caption_;
  std::string hint_;
  std::wstring wide_hint_;
  std::vector<HWND> radio_items_;  // a radio group's buttons
  HWND arrows_ = nullptr;
};

}  // namespace qp::ui
