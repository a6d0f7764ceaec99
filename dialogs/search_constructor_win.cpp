// The search constructor dialog.
#include "dialogs/search_constructor_win.h"

#include <string>

#include "lang/language.h"
#include "ui/message_box_win.h"
#include "ui/message_loop_win.h"
#include "ui/placement_win.h"
#include "ui/text_win.h"

namespace qp {
namespace {

constexpr int kRows = 3;
constexpr const char* kLabels[kRows] = {"Название:", "Начало ссылки / Ccылка", "Продолжение ссылки"};

std::string Numbered(const char* prefix, int n) { return prefix + std::to_string(n); }

ui::FormDef SearchConstructorDef() {
  using ui::Kind;
  ui::FormDef form{.name = "fmSearchConstructor",
                   .title = "Конструирование запроса для поиска / Создание закладки",
                   .client_width = 420,
                   .client_height = 128,
                   .controls = {}};
  auto& c = form.controls;
  for (int n = 1; n <= kRows; ++n) {
    const int top = 10 + (n - 1) * 30;
    c.push_back({.name = Numbered("Label", n), .kind = Kind::Label, .caption = kLabels[n - 1], .bounds = {8, top + 3, 140, 16}});
    c.push_back({.name = Numbered("Edit", n), .kind = Kind::Edit, .bounds = {150, top, 202, 22}});
    c.push_back({.name = Numbered("btPaste", n), .kind = Kind::Button, .caption = "<", .hint = "Вставить", .bounds = {356, top, 26, 22}});
    c.push_back({.name = Numbered("btClear", n), .kind = Kind::Button, .caption = "X", .hint = "Отчистить", .bounds = {386, top, 26, 22}});
  }
  c.push_back({.name = "btCreate", .kind = Kind::Button, .caption = "Coздать", .bounds = {150, 98, 84, 25}});
  c.push_back({.name = "btChange", .kind = Kind::Button, .caption = "Изменить", .bounds = {239, 98, 84, 25}});
  c.push_back({.name = "btCancel", .kind = Kind::Button, .caption = "Отмена", .bounds = {328, 98, 84, 25}});
  return form;
}

}  // namespace

TfmSearchConstructor::TfmSearchConstructor() : Dialog(SearchConstructorDef()) {
  for (int n = 1; n <= kRows; ++n) {
    const std::string edit = Numbered("Edit", n);
    Commands()
        .On(Numbered("btPaste", n), [this, edit] { ui::SetText(ControlHwnd(edit), ui::ClipboardText(Hwnd())); })
        .On(Numbered("btClear", n), [this, edit] { ui::SetText(ControlHwnd(edit), ""); });
  }
  Commands().On("btCreate", [this] { Finish(Choice::Create); }).On("btChange", [this] { Finish(Choice::Change); }).On("btCancel", [this] {
    Finish(Choice::Cancel);
  });
}

TfmSearchConstructor::Result TfmSearchConstructor::Run(HWND owner, const RequestFields& fields) {
  if (!Hwnd() && !Create(owner, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_DLGMODALFRAME, 0, 0)) {
    return {};
  }
  result_ = {};
  ui::SetText(ControlHwnd("Edit1"), fields.name);
  ui::SetText(ControlHwnd("Edit2"), fields.link);
  ui::SetText(ControlHwnd("Edit3"), fields.continuation);
  ui::CenterWindow(Hwnd(), nullptr);
  running_ = true;
  finished_ = false;
  ShowWindow(Hwnd(), SW_SHOW);
  SetForegroundWindow(Hwnd());
  SetFocus(ControlHwnd("Edit1"));
  // Showing and activating can run pending messages (the main window's activation does):
  // a button pressed meanwhile has ended the dialog already.
  if (!finished_) ui::RunModal(Hwnd(), owner);
  ShowWindow(Hwnd(), SW_HIDE);
  running_ = false;
  return result_;
}

void TfmSearchConstructor::Cancel() { Finish(Choice::Cancel); }

bool TfmSearchConstructor::OnKeyPreview(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_ESCAPE) return false;
  Finish(Choice::Cancel);
  return true;
}

RequestFields TfmSearchConstructor::Fields() const {
  return {ui::GetText(ControlHwnd("Edit1")), ui::GetText(ControlHwnd("Edit2")), ui::GetText(ControlHwnd("Edit3"))};
}

void TfmSearchConstructor::Finish(Choice choice) {
  if (!running_ || finished_) return;  // the first choice holds
  RequestFields fields = Fields();
  if (choice != Choice::Cancel && !FieldsFit(fields)) {
    ui::ShowMessage(Hwnd(), BadNodeTextMessage(), MB_ICONWARNING | MB_OK);
    return;
  }
  result_ = {choice, std::move(fields)};
  finished_ = true;
  Close();
}

void TfmSearchConstructor::OnCloseAsked() { Finish(Choice::Cancel); }

}  // namespace qp
