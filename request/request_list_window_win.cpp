// The request list 2 window.
#include "request/request_list_window_win.h"

namespace qp {
namespace {

ui::FormDef RequestList2Def() {
  return ui::FormDef{.name = "fmRequestList2",
                     .title = "Лист запросов 2",
                     .client_width = 420,
                     .client_height = 300,
                     .controls = {
                         {.name = "Memo1", .kind = ui::Kind::Memo, .bounds = {4, 4, 412, 260}},
                         // Scratch space while importing: never shown.
                         {.name = "Memo2", .kind = ui::Kind::Memo, .bounds = {4, 4, 10, 10}, .visible = false},
                     }};
}

}  // namespace

TfmRequestList2::TfmRequestList2() : Window(RequestList2Def()) {}

bool TfmRequestList2::CreateHidden(HWND owner) {
  return Create(owner, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, WS_EX_TOPMOST, CW_USEDEFAULT, CW_USEDEFAULT);
}

}  // namespace qp
