// The bookmark tree in the main window.
#include "app/bookmark_tree_win.h"

#include <windowsx.h>

#include <utility>

#include "app/main_form.h"
#include "base/error_log.h"
#include "base/scope_guard.h"
#include "lang/language.h"
#include "ui/component_win.h"
#include "ui/message_box_win.h"
#include "ui/text_win.h"

namespace qp {
namespace {

constexpr COLORREF kPictureGround = RGB(192, 192, 192);  // transparent in the pictures' strip
constexpr int kPictureSize = 16;

NodePath ParentPath(NodePath path) {
  if (!path.empty()) path.pop_back();
  return path;
}

}  // namespace

BookmarkTree::BookmarkTree(Parts parts) : parts_(std::move(parts)) {}

BookmarkTree::~BookmarkTree() {
  if (images_) ImageList_Destroy(images_);
}

HWND BookmarkTree::Tree() const { return parts_.window.ControlHwnd(fmMain::JvSearchTreeView); }

void BookmarkTree::Load() {
  if (!images_) {
    if (HANDLE strip = LoadImageW(GetModuleHandleW(nullptr), L"TREEIMAGES", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)) {
      images_ = ImageList_Create(kPictureSize, kPictureSize, ILC_COLOR24 | ILC_MASK, 5, 0);
      ImageList_AddMasked(images_, static_cast<HBITMAP>(strip), kPictureGround);
      DeleteObject(strip);
      TreeView_SetImageList(Tree(), images_, TVSIL_NORMAL);
    }
  }
  SearchTreeFile file = LoadSearchTree();
  if (!file.error.empty()) LogError("Error : " + file.error);
  loaded_ = std::move(file);
  if (loaded_.complete) {
    nodes_ = std::move(loaded_.nodes);
  } else {
    nodes_ = loaded_.nodes;
  }
  Fill();
}

bool BookmarkTree::Save() {
  std::string kept;
  if (!SaveSearchTree(nodes_, loaded_, &kept)) return false;
  if (!kept.empty()) ui::ShowMessage(parts_.window.Hwnd(), TreeKeptMessage(kept), MB_ICONWARNING | MB_OK);
  return true;
}

void BookmarkTree::Fill() {
  HWND tree = Tree();
  ui::FrozenDrawing frozen(tree);
  FlagScope quiet(quiet_);
  TreeView_DeleteAllItems(tree);
  FillUnder(TVI_ROOT, nodes_);
}

void BookmarkTree::FillUnder(HTREEITEM parent, const SearchForest& nodes) {
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    std::wstring wide = ui::Widen(nodes[i].text);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    // The root always shows as the bookmarks, in the user's language of the moment.
    insert.item.pszText = parent == TVI_ROOT && i == 0 ? LPSTR_TEXTCALLBACKW : wide.data();
    insert.item.iImage = insert.item.iSelectedImage = I_IMAGECALLBACK;
    HTREEITEM item = TreeView_InsertItem(Tree(), &insert);
    FillUnder(item, nodes[i].children);
  }
}

NodePath BookmarkTree::PathOf(HTREEITEM item) const {
  NodePath path;
  HWND tree = Tree();
  for (; item; item = TreeView_GetParent(tree, item)) {
    std::size_t index = 0;
    for (HTREEITEM before = TreeView_GetPrevSibling(tree, item); before; before = TreeView_GetPrevSibling(tree, before)) ++index;
    path.insert(path.begin(), index);
  }
  return path;
}

HTREEITEM BookmarkTree::ItemAt(const NodePath& path) const {
  HWND tree = Tree();
  HTREEITEM item = nullptr;
  for (std::size_t depth = 0; depth < path.size(); ++depth) {
    item = depth == 0 ? TreeView_GetRoot(tree) : TreeView_GetChild(tree, item);
    for (std::size_t n = path[depth]; n > 0 && item; --n) item = TreeView_GetNextSibling(tree, item);
    if (!item) return nullptr;
  }
  return item;
}

NodePath BookmarkTree::Selected() const {
  HTREEITEM item = TreeView_GetSelection(Tree());
  return item ? PathOf(item) : NodePath{};
}

void BookmarkTree::Show(const std::optional<NodePath>& made) {
  if (!made) return;
  Fill();
  if (HTREEITEM item = ItemAt(*made)) SelectQuietly(item);
}

void BookmarkTree::SelectQuietly(HTREEITEM item) {
  FlagScope quiet(quiet_);
  TreeView_SelectItem(Tree(), item);
  TreeView_EnsureVisible(Tree(), item);
}

bool BookmarkTree::Activate(HTREEITEM item) {
  const NodePath path = PathOf(item);
  if (quiet_) {
    const SearchNode* node = NodeAt(nodes_, path);
    return node && IsRequest(*node);
  }
  const std::optional<Activation> activation = qp::Activate(nodes_, path);
  if (!activation) return false;
  if (activation->bookmark) {
    parts_.request_line.SetText(activation->address);
    parts_.lists.AppendToList1(activation->address);
  } else {
    parts_.set_search(activation->prefix, activation->suffix);
    parts_.window.Get(fmMain::Numbered(fmMain::bb, 21)).SetCaption(activation->caption1);
    parts_.window.Get(fmMain::Numbered(fmMain::bb, 22)).SetCaption(activation->caption2);
  }
  return true;
}

// The root's text and every picture are asked for when they are drawn, so they follow
// the language and the tree's state without being set at each change.
void BookmarkTree::GiveDisplayInfo(NMTVDISPINFOW& info) {
  TVITEMW& item = info.item;
  if ((item.mask & TVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
    const std::wstring text = ui::Widen(LookupMessage("Закладки", "textBookmarks"));
    lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
  }
  if (item.mask & (TVIF_IMAGE | TVIF_SELECTEDIMAGE)) {
    const bool expanded = TreeView_GetItemState(Tree(), item.hItem, TVIS_EXPANDED) & TVIS_EXPANDED;
    item.iImage = item.iSelectedImage = NodeImage(nodes_, PathOf(item.hItem), expanded);
  }
}

bool BookmarkTree::EndLabelEdit(NMTVDISPINFOW& edit) {
  if (!edit.item.pszText) return false;  // the edit was cancelled
  const std::string text = ui::Narrow(edit.item.pszText);
  SearchNode* node = NodeAt(nodes_, PathOf(edit.item.hItem));
  if (!node) return false;
  if (!SearchTextFits(text)) {  // the file could not hold it
    ui::ShowMessage(parts_.window.Hwnd(), BadNodeTextMessage(), MB_ICONWARNING | MB_OK);
    return false;
  }
  node->text = text;
  // The root keeps showing as the bookmarks: the view keeps asking for its text.
  return PathOf(edit.item.hItem) != NodePath{0};
}

LRESULT BookmarkTree::Notify(NMHDR& header) {
  switch (header.code) {
    // A request never opens: selecting it (which tries to) activates it instead.
    case TVN_ITEMEXPANDINGW: {
      auto& change = reinterpret_cast<NMTREEVIEWW&>(header);
      if (change.action & TVE_EXPAND) return Activate(change.itemNew.hItem) ? TRUE : FALSE;
      return FALSE;
    }
    case TVN_ITEMEXPANDEDW: {  // an open category shows an open folder
      RECT row{};
      if (TreeView_GetItemRect(Tree(), reinterpret_cast<NMTREEVIEWW&>(header).itemNew.hItem, &row, FALSE)) {
        InvalidateRect(Tree(), &row, FALSE);
      }
      return 0;
    }
    case TVN_GETDISPINFOW: GiveDisplayInfo(reinterpret_cast<NMTVDISPINFOW&>(header)); return 0;
    case TVN_ENDLABELEDITW: return EndLabelEdit(reinterpret_cast<NMTVDISPINFOW&>(header)) ? TRUE : FALSE;
    case TVN_BEGINDRAGW: BeginDrag(reinterpret_cast<NMTREEVIEWW&>(header)); return 0;
    case TVN_KEYDOWN:
      if (reinterpret_cast<NMTVKEYDOWN&>(header).wVKey == VK_DELETE) miDeleteRequestClick();
      return 0;
    default: return 0;
  }
}

bool BookmarkTree::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wparam) != Tree()) return false;
      ShowMenu(lparam);
      return true;
    case WM_MOUSEMOVE:
      if (!dragged_) return false;
      TreeView_SelectDropTarget(Tree(), DropTarget(lparam));
      SetCursor(LoadCursorW(nullptr, DropTarget(lparam) ? IDC_ARROW : IDC_NO));
      return true;
    case WM_LBUTTONUP:
      if (!dragged_) return false;
      EndDrag(true, lparam);
      return true;
    case WM_CAPTURECHANGED:
      if (!dragged_) return false;
      EndDrag(false, 0);
      return true;
    default: return false;
  }
}

void BookmarkTree::ShowMenu(LPARAM at) {
  HWND tree = Tree();
  POINT place{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  if (at == -1) {  // from the keyboard: under the selected node
    RECT row{};
    HTREEITEM selected = TreeView_GetSelection(tree);
    place = {0, 0};
    if (selected && TreeView_GetItemRect(tree, selected, &row, TRUE)) place = {row.left, row.bottom};
    ClientToScreen(tree, &place);
  } else {  // the node clicked on is the one the commands act on
    TVHITTESTINFO hit{};
    hit.pt = place;
    ScreenToClient(tree, &hit.pt);
    if (HTREEITEM item = TreeView_HitTest(tree, &hit)) SelectQuietly(item);
  }
  const NodePath selected = Selected();
  const bool any = NodeAt(nodes_, selected) != nullptr;
  for (const char* entry :
       {fmMain::miInsertCategory, fmMain::miAddCategory, fmMain::miAddSubCategory, fmMain::miRenameRequest, fmMain::miDeleteRequest}) {
    parts_.window.Get(entry).SetEnabled(any);
  }
  parts_.window.Get(fmMain::miAddRequest).SetEnabled(RequestTarget(nodes_, selected).has_value());
  parts_.window.Get(fmMain::miEditRequest).SetEnabled(FieldsOf(nodes_, selected).has_value());
  TrackPopupMenu(parts_.window.SubmenuOf(fmMain::PopupMenu2), TPM_RIGHTBUTTON, place.x, place.y, 0, parts_.window.Hwnd(), nullptr);
}

void BookmarkTree::miInsertCategoryClick() {
  Show(InsertCategory(nodes_, Selected(), LookupMessage("Новая категория", "textNewCategory")));
}

// "Добавить категорию" and "Добавить подкатегорию" name the new node in Russian whatever
// the language: so the design has it.
void BookmarkTree::miAddCategoryClick() { Show(AddCategory(nodes_, Selected(), "Новая категория")); }

void BookmarkTree::miAddSubCategoryClick() { Show(AddSubCategory(nodes_, Selected(), "Новая категория")); }

void BookmarkTree::miAddRequestClick() {
  if (const std::optional<NodePath> target = RequestTarget(nodes_, Selected())) EditInDialog(*target, {});
}

void BookmarkTree::miEditRequestClick() {
  const NodePath selected = Selected();
  if (const std::optional<RequestFields> fields = FieldsOf(nodes_, selected)) EditInDialog(selected, *fields);
}

void BookmarkTree::miRenameRequestClick() {
  if (HTREEITEM item = TreeView_GetSelection(Tree())) {
    SetFocus(Tree());
    TreeView_EditLabel(Tree(), item);
  }
}

void BookmarkTree::miDeleteRequestClick() {
  const NodePath selected = Selected();
  const SearchNode* node = NodeAt(nodes_, selected);
  if (!node) return;
  const std::string shown = selected == NodePath{0} ? LookupMessage("Закладки", "textBookmarks") : node->text;
  const std::string question = LookupMessage("Вы действительно хотите удалить ветвь/запрос: ", "textQuestion4") + shown + "?";
  if (ui::ShowMessage(parts_.window.Hwnd(), question, MB_ICONQUESTION | MB_OKCANCEL) != IDOK) return;
  if (!DeleteNode(nodes_, selected)) return;
  Fill();
  if (HTREEITEM parent = ItemAt(ParentPath(selected))) SelectQuietly(parent);
}

void BookmarkTree::lbAddToFavoritesClick() {
  if (nodes_.empty()) return;  // the program never makes the root itself
  const std::string line = parts_.request_line.Text();
  EditInDialog({0}, {line, line, ""});
}

void BookmarkTree::EditInDialog(const NodePath& current, const RequestFields& fields) {
  if (!dialog_) dialog_ = std::make_unique<TfmSearchConstructor>();
  const TfmSearchConstructor::Result result = dialog_->Run(parts_.window.Hwnd(), fields);
  if (result.choice == TfmSearchConstructor::Choice::Create) {
    Show(CreateRequest(nodes_, current, result.fields));
  } else if (result.choice == TfmSearchConstructor::Choice::Change && ChangeRequest(nodes_, current, result.fields)) {
    Show(current);
  }
}

void BookmarkTree::CloseDialog() {
  if (dialog_) dialog_->Cancel();
}

void BookmarkTree::BeginDrag(const NMTREEVIEWW& drag) {
  dragged_ = drag.itemNew.hItem;
  SetCapture(parts_.window.Hwnd());
}

// The node under the pointer (main window client coordinates) when the dragged node may go there.
HTREEITEM BookmarkTree::DropTarget(LPARAM at) const {
  TVHITTESTINFO hit{};
  hit.pt = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  MapWindowPoints(parts_.window.Hwnd(), Tree(), &hit.pt, 1);
  HTREEITEM item = TreeView_HitTest(Tree(), &hit);
  return item && CanDrop(nodes_, PathOf(dragged_), PathOf(item)) ? item : nullptr;
}

void BookmarkTree::EndDrag(bool drop, LPARAM at) {
  HTREEITEM target = drop ? DropTarget(at) : nullptr;
  HTREEITEM dragged = std::exchange(dragged_, nullptr);
  TreeView_SelectDropTarget(Tree(), nullptr);
  if (GetCapture() == parts_.window.Hwnd()) ReleaseCapture();
  if (target) Show(DropNode(nodes_, PathOf(dragged), PathOf(target)));
}

bool BookmarkTree::CancelDrag() {
  if (!dragged_) return false;
  EndDrag(false, 0);
  return true;
}

}  // namespace qp
