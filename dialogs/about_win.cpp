// The about box.
#include "dialogs/about_win.h"

#include <string>

#include "base/file_io.h"
#include "base/status_line.h"
#include "base/text_codec.h"
#include "base/working_folder.h"
#include "lang/language.h"
#include "ui/message_loop_win.h"
#include "ui/placement_win.h"
#include "ui/text_win.h"

namespace qp {
namespace {

ui::FormDef AboutDef(int64_t starts, int64_t letters) {
  using ui::Kind;
  return ui::FormDef{
      .name = "fmAbout",
      .title = "О программе",
      .client_width = 360,
      .client_height = 400,
      .controls = {
          {.name = "plProgramName", .kind = Kind::Panel, .caption = "Quillpost (v. 3.3.2.43)", .bounds = {8, 8, 344, 28}},
          {.name = "plAuthor", .kind = Kind::Panel, .caption = std::string(kAuthorCredit), .bounds = {8, 40, 344, 22}},
          {.name = "mmWelcome", .kind = Kind::Memo, .bounds = {8, 68, 344, 120}, .read_only = true},
          {.name = "gbStatistic", .kind = Kind::GroupBox, .caption = "Статистика", .bounds = {8, 194, 344, 60}},
          {.name = "lbStarted",
           .kind = Kind::Label,
           .parent = "gbStatistic",
           .caption = "Программа Quillpost была запущена:",
           .bounds = {10, 18, 220, 16}},
          {.name = "lbCounter",
           .kind = Kind::Label,
           .parent = "gbStatistic",
           .caption = std::to_string(starts),
           .bounds = {234, 18, 50, 16}},
          {.name = "lbTimes", .kind = Kind::Label, .parent = "gbStatistic", .caption = "раз(а)", .bounds = {288, 18, 50, 16}},
          {.name = "lbSent",
           .kind = Kind::Label,
           .parent = "gbStatistic",
           .caption = "Всего запросов отправлено:",
           .bounds = {10, 36, 220, 16}},
          {.name = "lbRS", .kind = Kind::Label, .parent = "gbStatistic", .caption = std::to_string(letters), .bounds = {234, 36, 100, 16}},
          {.name = "mmLicence", .kind = Kind::Memo, .bounds = {8, 260, 344, 132}, .read_only = true},
      }};
}

}  // namespace

TfmAbout::TfmAbout(int64_t starts, int64_t letters) : Dialog(AboutDef(starts, letters)) {}

void TfmAbout::ShowModal(HWND owner) {
  if (!Create(owner, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_TOPMOST | WS_EX_DLGMODALFRAME, 0, 0)) return;
  ui::CenterWindow(Hwnd(), owner);
  ShowWindow(Hwnd(), SW_SHOW);
  FillMemos();
  SetForegroundWindow(Hwnd());
  ui::RunModal(Hwnd(), owner);
  ClearMemos();
  DestroyWindow(Hwnd());
}

// Each text only when its file is there; a missing one leaves its memo empty.
void TfmAbout::FillMemos() {
  const std::pair<const char*, const char*> texts[] = {{"mmWelcome", "welcome.txt"}, {"mmLicence", "license.txt"}};
  for (const auto& [memo, file] : texts) {
    ui::SetText(ControlHwnd(memo), "");
    const TextFileState state = ReadTextFile(ProgramFile(file), SystemCodec());
    if (state.exists) ui::SetText(ControlHwnd(memo), state.text.utf8);
  }
  // A language file's memo lines stand in for the texts' lines.
  Translate();
}

void TfmAbout::ClearMemos() {
  for (const char* memo : {"mmWelcome", "mmLicence"}) ui::SetText(ControlHwnd(memo), "");
}

// Escape closes the box, as it closes any box that only tells something.
bool TfmAbout::OnKeyPreview(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_ESCAPE) return false;
  PostMessageW(Hwnd(), WM_CLOSE, 0, 0);
  return true;
}

LRESULT TfmAbout::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_ACTIVATE && LOWORD(wparam) != WA_INACTIVE) FillMemos();
  return Dialog::HandleMessage(msg, wparam, lparam);
}

}  // namespace qp
