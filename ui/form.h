// Windows and their named components as the rest of the program sees them: declared once
// in a table, found by name, walked in declaration order. No Win32 here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qp::ui {

enum class Kind {
  Label,
  Button,
  BitButton,  // a push button with a glyph left of its caption
  CheckBox,
  Edit,
  Memo,
  ComboBox,
  RadioGroup,
  GroupBox,
  Panel,
  StatusBar,
  ProgressBar,
  ListView,     // a report list; its items are the column captions
  TreeView,     // single-expand, texts edited in place, no expand buttons
  Menu,         // a submenu: a main-menu title or an entry that opens further entries
  MenuItem,     // a command entry
  Separator,    // a menu separator line
  PopupMenu,    // a menu of its own, shown by a right click or the tray icon
  PageControl,  // tabs over pages; its pages are the TabSheets naming it as their parent
  TabSheet,     // one page: its caption is the tab's text, its controls show with it
  SpinEdit,     // a number box with arrows, 0..255
};

bool HasCaption(Kind kind);
bool HasHint(Kind kind);
bool IsMenuKind(Kind kind);

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
};

// A keyboard shortcut of a menu entry: a virtual-key code and modifiers.
struct Shortcut {
  enum : uint8_t { kCtrl = 1, kShift = 2, kAlt = 4 };
  uint16_t key = 0;  // 0 for none
  uint8_t modifiers = 0;
  std::string Text() const;  // "Ctrl+F1"
};
inline constexpr uint16_t kKeyF1 = 0x70;  // F2 = F1 + 1 and so on
inline constexpr Shortcut Ctrl(uint16_t key) { return {key, Shortcut::kCtrl}; }
inline constexpr Shortcut Key(uint16_t key) { return {key, 0}; }

// One line of a window's component table.
struct ControlDef {
  std::string name;
  Kind kind = Kind::Label;
  std::string parent;  // owning group box, panel or menu; empty for the window or the menu bar
  std::string caption;
  std::string hint;
  Rect bounds;                     // client pixels, relative to the parent control
  std::vector<std::string> items;  // memo lines, combo box and radio group items
  Shortcut shortcut;
  bool radio = false;    // menu entry drawn as a radio item
  bool checked = false;  // menu entry or check box ticked at creation
  bool visible = true;
  int max_length = 0;      // edits and combo boxes: characters at most, 0 for no limit
  bool password = false;   // an edit that shows "*"
  bool read_only = false;  // an edit that takes no typing; a combo box that only offers its items
};

struct FormDef {
  std::string name;   // "fmMain"; the window class is "T" + name
  std::string title;  // caption at design
  int client_width = 0, client_height = 0;
  std::vector<ControlDef> controls;
};

// A live component: its texts as shown at this moment.
class Component {
 public:
  virtual ~Component() = default;
  virtual const ControlDef& Def() const = 0;
  const std::string& Name() const { return Def().name; }
  Kind GetKind() const { return Def().kind; }

  virtual std::string Caption() const = 0;
  virtual void SetCaption(std::string_view text) = 0;
  virtual std::string Hint() const = 0;
  virtual void SetHint(std::string_view text) = 0;
  // Memo lines, or combo box and radio group items.
  virtual std::vector<std::string> Lines() const = 0;
  virtual void SetLine(std::size_t index, std::string_view text) = 0;
  virtual bool Checked() const = 0;
  virtual void SetChecked(bool checked) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  // A radio group's or combo box's chosen item, -1 for none.
  virtual int ItemIndex() const { return -1; }
  virtual void SetItemIndex(int /*index*/) {}
  // A combo box's list: exactly these items; the text in its edit stays.
  virtual void SetItems(const std::vector<std::string>& /*items*/) {}
  // The characters an edit or a combo box's edit takes at most; 0 for the control's own limit.
  virtual void SetMaxLength(int /*count*/) {}

  // The selected characters of an edit, memo or combo box's edit, counted as the control
  // counts them (UTF-16 units); start == end is the caret.
  struct Selection {
    int start = 0, end = 0;
  };
  virtual Selection GetSelection() const { return {}; }
  virtual void SetSelection(Selection /*selection*/) {}
  // Puts text where the selection is, as typing would.
  virtual void ReplaceSelection(std::string_view /*text*/) {}
  // Whether a combo box's list is open.
  virtual bool DroppedDown() const { return false; }
  virtual void SetDroppedDown(bool /*open*/) {}

  // A progress bar's position in 0..high, moved on by step.
  virtual void SetRange(int /*high*/, int /*step*/) {}
  virtual int Position() const { return 0; }
  virtual void SetPosition(int /*position*/) {}
  virtual void Step() {}
};

class Form {
 public:
  virtual ~Form() = default;
  virtual const std::string& Name() const = 0;
  virtual std::string Title() const = 0;
  virtual void SetTitle(std::string_view text) = 0;
  virtual std::size_t ComponentCount() const = 0;
  virtual Component& ComponentAt(std::size_t index) = 0;

  // nullptr when the window has no component of that name: for tables that name entries
  // a window may carry (the close-time switches, a language file's keys).
  Component* Find(std::string_view name);
  // The component the code knows the window declares; a name it does not declare is a
  // fault of the program, and throws std::logic_error saying which.
  Component& Get(std::string_view name);
};

}  // namespace qp::ui
