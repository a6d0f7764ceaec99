// The popup reports: a component that shows a short text in a small window sliding out
// beside the taskbar, stacking the windows while several are open, and that window.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/popup_layout.h"
#include "ui/window_win.h"

namespace qp::ui {

// Behaviour switches; the numbers are the bits the component keeps.
enum TMSNPopupOption : unsigned {
  msnAutoOpenURL = 1,
  msnSystemFont = 2,  // kept, without effect
  msnCascadePopups = 4,
  msnAllowScroll = 8,
  msnAllowHyperlink = 16,
};
enum class TOrientation { mbHorizontal, mbVertical };
enum class TTextAlignment { taLeftJustify, taRightJustify, taCenter };

inline constexpr COLORREF kWindowTextColour = CLR_DEFAULT;  // the system's, read when drawn

struct PopupFont {
  std::string name = "Lucida Sans Unicode";
  int height = 13;  // character height, pixels
  COLORREF colour = kWindowTextColour;
  bool bold = false, underline = false;
};

// What a report is shown with: each window takes a copy when it opens, so a change
// affects the next report only. The values are those the component is made with.
struct MSNPopUpProperties {
  std::string Text = "text";
  std::string URL = "https://www.example.com/";
  std::string Title = "title";
  int TimeOut = 10;  // seconds fully shown
  int Width = 148, Height = 121;
  COLORREF GradientColor1 = RGB(153, 204, 255), GradientColor2 = RGB(255, 255, 255);
  TOrientation GradientOrientation = TOrientation::mbVertical;
  int ScrollSpeed = 9;  // pixels a step, 1..50
  PopupFont Font;
  PopupFont HoverFont{.colour = RGB(0, 0, 255), .underline = true};
  PopupFont TitleFont{.bold = true};
  unsigned Options = msnAutoOpenURL | msnCascadePopups | msnAllowScroll | msnAllowHyperlink;
  TTextAlignment TextAlignment = TTextAlignment::taCenter;
  int PopupMarge = 2;
  int PopupStartX = 16, PopupStartY = 2;
};

class TfrmMSNPopUp;

class TMSNPopUp : public MSNPopUpProperties {
 public:
  // owner: the window the reports belong to; they go with it.
  explicit TMSNPopUp(HWND owner);
  ~TMSNPopUp();
  TMSNPopUp(const TMSNPopUp&) = delete;
  TMSNPopUp& operator=(const TMSNPopUp&) = delete;

  std::function<void()> OnClick;                       // a click on a report
  std::function<void(const std::string&)> OnURLClick;  // a click on its text, links allowed

  // Shows Text in a new report; false when the stack has no room left for it.
  bool ShowPopUp();
  // Closes every open report.
  void ClosePopUps();

  int OpenCount() const { return stack_.OpenCount(); }
  std::vector<HWND> OpenWindows() const;

 private:
  friend class TfrmMSNPopUp;
  void Closed();  // a counted report has gone
  void FreeClosed();

  HWND owner_;
  PopupStack stack_;
  std::vector<std::unique_ptr<TfrmMSNPopUp>> windows_;
};

// The side the taskbar lies on, asked of the shell afresh.
TaskbarEdge TaskbarPosition();

}  // namespace qp::ui
