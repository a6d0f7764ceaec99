// The history window.
#include "organize/history_window_win.h"

#include <commctrl.h>

#include "base/file_system.h"
#include "base/working_folder.h"
#include "lang/language.h"
#include "ui/component_win.h"
#include "ui/message_box_win.h"
#include "ui/placement_win.h"
#include "ui/text_win.h"

namespace qp {
namespace {

constexpr int kTimeColumn = 2;

ui::FormDef HistoryFormDef() {
  return ui::FormDef{.name = "fmHistory",
                     .title = "История запросов",
                     .client_width = 680,
                     .client_height = 320,
                     .controls = {
                         {.name = "jvHistory",
                          .kind = ui::Kind::ListView,
                          .bounds = {0, 0, 680, 320},
                          .items = {"Описание", "Строка запроса", "Время", "Сервис", "Кнопка", "Ящик"}},
                         {.name = "Popup", .kind = ui::Kind::PopupMenu},
                         {.name = "Change", .kind = ui::Kind::MenuItem, .parent = "Popup", .caption = "Изменить комментарий"},
                         {.name = "CopyURL", .kind = ui::Kind::MenuItem, .parent = "Popup", .caption = "Копировать строку в поле запроса"},
                         {.name = "DeleteRecord", .kind = ui::Kind::MenuItem, .parent = "Popup", .caption = "Удалить запись"},
                     }};
}

// The system's date order and day-half names, to read the "Время" column as moments.
HistoryTimeFormat SystemTimeFormat() {
  wchar_t picture[80] = {}, am[16] = {}, pm[16] = {};
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, picture, 80);
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_S1159, am, 16);
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_S2359, pm, 16);
  HistoryTimeFormat format;
  format.order = DateOrderOf(ui::Narrow(picture));
  if (am[0]) format.am_designator = ui::Narrow(am);
  if (pm[0]) format.pm_designator = ui::Narrow(pm);
  return format;
}

}  // namespace

TfmHistory::TfmHistory(HWND owner, std::function<void(const std::string&)> copy_to_request_line)
    : Window(HistoryFormDef()), owner_(owner), copy_(std::move(copy_to_request_line)) {
  auto on_selected = [this](void (TfmHistory::*click)(int)) {
    return [this, click] {
      if (int row = FirstSelected(); row >= 0) (this->*click)(row);
    };
  };
  Commands()
      .On("Change", on_selected(&TfmHistory::ChangeClick))
      .On("CopyURL", on_selected(&TfmHistory::CopyURLClick))
      .On("DeleteRecord", on_selected(&TfmHistory::DeleteRecordClick));
}

void TfmHistory::ShowWindow() {
  if (!Hwnd()) {
    if (!Create(owner_, WS_OVERLAPPEDWINDOW, WS_EX_TOPMOST, 0, 0)) return;
    ui::CenterWindow(Hwnd(), nullptr);
  }
  ::ShowWindow(Hwnd(), SW_SHOW);
  SetForegroundWindow(Hwnd());
}

void TfmHistory::OnShow() { TranslateToCurrentLanguage(*this); }

void TfmHistory::Reload() {
  if (rows_.Refresh(LoadHistory())) Fill();
}

// The list view shows the records row for row; what it holds is only for the eye (a cell
// shows the start of a long text), every command reads the records.
void TfmHistory::Fill() {
  const std::vector<HistoryRecord>& rows = rows_.Rows();
  HWND list = List();
  ui::FrozenDrawing frozen(list);
  ListView_DeleteAllItems(list);
  for (size_t i = 0; i < rows.size(); ++i) {
    for (size_t column = 0; column < kHistoryFieldCount; ++column) {  // extra fields of damaged lines have no column
      std::wstring text = ui::Widen(rows[i].Field(column));
      LVITEMW item{};
      item.iItem = static_cast<int>(i);
      item.iSubItem = static_cast<int>(column);
      item.mask = LVIF_TEXT;
      item.pszText = text.data();
      if (column == 0) {
        ListView_InsertItem(list, &item);
      } else {
        ListView_SetItemText(list, static_cast<int>(i), static_cast<int>(column), text.data());
      }
    }
  }
}

const std::vector<HistoryRecord>& TfmHistory::Rows() const { return rows_.Rows(); }

bool TfmHistory::ClearAll() {
  if (!ClearHistory()) return false;
  rows_.Cleared();
  if (Hwnd()) Fill();
  return true;
}

int TfmHistory::FirstSelected() const { return ListView_GetNextItem(List(), -1, LVNI_SELECTED); }

void TfmHistory::ChangeClick(int row) {
  SetFocus(List());
  ListView_EditLabel(List(), row);
}

void TfmHistory::CopyURLClick(int row) { copy_(Rows().at(static_cast<size_t>(row)).request); }

void TfmHistory::DeleteRecordClick(int row) {
  rows_.Delete(static_cast<size_t>(row));
  ListView_DeleteItem(List(), row);
}

// Only a window with changes rewrites the file, merged with the letters logged meanwhile.
void TfmHistory::Save() {
  if (!rows_.Changed()) return;
  const std::string path = ProgramFile(kHistoryFile);
  // A file that is there but cannot be read now cannot be merged with: it stays as it is.
  std::optional<std::vector<HistoryRecord>> file = LoadHistory();
  if (!file && FileExists(path)) {
    ui::ShowMessage(Hwnd(), CannotReadMessage(path), MB_ICONERROR | MB_OK);
    return;
  }
  rows_.Refresh(std::move(file));
  if (SaveHistory(Rows())) {
    rows_.Saved();
  } else {
    ui::ShowMessage(Hwnd(), CannotWriteMessage(path), MB_ICONERROR | MB_OK);
  }
}

LRESULT TfmHistory::OnNotify(ui::Component& /*component*/, NMHDR& header) {
  switch (header.code) {
    case NM_RCLICK: {
      POINT at;
      GetCursorPos(&at);
      TrackPopupMenu(SubmenuOf("Popup"), TPM_RIGHTBUTTON, at.x, at.y, 0, Hwnd(), nullptr);
      return 0;
    }
    case NM_DBLCLK:
      if (int row = FirstSelected(); row >= 0) CopyURLClick(row);
      return 0;
    case LVN_ENDLABELEDITW: {
      const LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
      if (item.pszText == nullptr) return FALSE;  // the edit was cancelled
      rows_.SetComment(static_cast<size_t>(item.iItem), ui::Narrow(item.pszText));
      return TRUE;  // the list view keeps the new text
    }
    case LVN_COLUMNCLICK: {
      if (reinterpret_cast<NMLISTVIEW&>(header).iSubItem != kTimeColumn) return 0;
      rows_.SortByTime(!descending_next_, SystemTimeFormat());
      descending_next_ = !descending_next_;
      Fill();
      return 0;
    }
    default: return 0;
  }
}

LRESULT TfmHistory::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE) Reload();
      break;
    case WM_SIZE: MoveWindow(List(), 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE); break;
    case WM_CLOSE:
      // The window only hides: it lives as long as the program.
      Save();
      ::ShowWindow(Hwnd(), SW_HIDE);
      return 0;
    default: break;
  }
  return Window::HandleMessage(msg, wparam, lparam);
}

}  // namespace qp
