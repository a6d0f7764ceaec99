// A window built from its component table: the HWNDs, menus, tooltips and shortcuts of
// every declared component, found by name and routed to the window's handlers.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/commands.h"
#include "ui/form.h"
#include "ui/page_controls_win.h"

namespace qp::ui {

class Window : public Form {
 public:
  explicit Window(FormDef def);
  ~Window() override;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Runs OnPrepare, creates the window (hidden) and every component, binds the command
  // table, then runs OnCreate. Throws std::logic_error when the table names a component the window lacks.
  bool Create(HWND owner, DWORD style, DWORD ex_style, int left, int top);
  HWND Hwnd() const { return hwnd_; }
  // The window built from a table that hwnd is, or nullptr.
  static Window* FromHwnd(HWND hwnd);
  // Every window that exists now, in the order they were made.
  static std::vector<Window*> LiveWindows();

  const std::string& Name() const override { return def_.name; }
  std::string Title() const override;
  void SetTitle(std::string_view text) override;
  std::size_t ComponentCount() const override;
  Component& ComponentAt(std::size_t index) override;

  HWND ControlHwnd(std::string_view name) const;  // nullptr for menu entries
  HFONT Font() const { return font_; }
  // The glyph a BitButton draws left of its caption; the window owns the image list.
  void SetGlyph(std::string_view name, HIMAGELIST glyph);
  bool HasGlyph(std::string_view name) const { return glyphs_.count(ControlHwnd(name)) != 0; }
  // Whether a BitButton's caption shows whole, beside its glyph, in the window's font.
  bool CaptionFits(std::string_view name) const;
  HMENU SubmenuOf(std::string_view name) const;  // a Menu or PopupMenu component's menu
  // A dialog's life once it shows: runs its messages until it hides, then destroys it.
  void RunModalAndDestroy(HWND owner);
  // Brings page index of a PageControl to the front, its tabs named after their pages.
  void ShowPage(std::string_view page_control, int index) { pages_.Show(page_control, index); }
  int CurrentPage(std::string_view page_control) const { return pages_.Current(page_control); }
  int PageCount(std::string_view page_control) const { return pages_.Count(page_control); }
  // The button Enter presses in a dialog.
  void SetDefaultButton(std::string_view name);

  // Called by the message loop for every message: shortcuts, the window's key preview
  // and dialog-style keyboard navigation. true when the message was consumed.
  static bool PreTranslate(MSG& msg);

 protected:
  // The window's command table, filled by the window's constructor.
  ui::Commands& Commands() { return commands_; }

  // Before the window and its components are made: texts changed now (a translation) are
  // the ones they are made with.
  virtual void OnPrepare() {}
  virtual void OnCreate() {}
  virtual void OnShow() {}
  // Notifications of common controls; the result goes back to the control.
  virtual LRESULT OnNotify(Component& /*component*/, NMHDR& /*header*/) { return 0; }
  // Keys reach the window before its controls; return true to swallow the key.
  virtual bool OnKeyPreview(const MSG& /*msg*/) { return false; }
  // Everything not handled here goes to DefWindowProc.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  void CreateControls();
  Rect PlaceOf(const ControlDef& def) const;  // in the window's client area
  void CreateTooltips();
  void AddTooltip(const ControlDef& def, HWND control);
  void CreateMenus();
  void CreateShortcuts();
  WinComponent* ByName(std::string_view name) const;
  void DrawBitButton(const DRAWITEMSTRUCT& item);
  // Where a BitButton's caption goes: right of the glyph, when it has one.
  RECT CaptionArea(HWND button, RECT face) const;

  FormDef def_;
  ui::Commands commands_;
  HWND hwnd_ = nullptr;
  HWND tooltip_ = nullptr;
  HFONT font_ = nullptr;
  HMENU menu_bar_ = nullptr;
  HACCEL shortcuts_ = nullptr;
  std::vector<std::unique_ptr<WinComponent>> components_;
  PageControls pages_{components_};
  std::map<HWND, HIMAGELIST> glyphs_;
};

}  // namespace qp::ui
