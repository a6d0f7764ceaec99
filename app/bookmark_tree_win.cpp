// The bookmark tree in the main window.
#include "app/bookmark_tree_win.h"

#include "app/main_form.h"
#include "base/error_log.h"
#include "lang/language.h"
#include "ui/message_box_win.h"
#include "ui/text_win.h"

namespace qp {

BookmarkTree::BookmarkTree(Parts parts) : parts_(std::move(parts)) {}

HWND BookmarkTree::Tree() const { return parts_.window.ControlHwnd(fmMain::JvSearchTreeView); }

void BookmarkTree::Load() {
  SearchTreeFile file = LoadSearchTree();
  if (!file.error.empty()) LogError("Error : " + file.error);
  nodes_ = std::move(file.nodes);
  loaded_complete_ = file.complete;
  Fill();
}

bool BookmarkTree::Save() { return SaveSearchTree(nodes_, loaded_complete_); }

void BookmarkTree::Fill() {
  HWND tree = Tree();
  SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
  TreeView_DeleteAllItems(tree);
  FillUnder(TVI_ROOT, nodes_);
  SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree, nullptr, TRUE);
}

void BookmarkTree::FillUnder(HTREEITEM parent, const SearchForest& nodes) {
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    // The root always shows as the bookmarks, in the user's language.
    const std::string text = parent == TVI_ROOT && i == 0 ? LookupMessage("Закладки", "textBookmarks") : nodes[i].text;
    std::wstring wide = ui::Widen(text);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = wide.data();
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

bool BookmarkTree::Activate(HTREEITEM item) {
  const std::optional<Activation> activation = qp::Activate(nodes_, PathOf(item));
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

LRESULT BookmarkTree::Notify(NMHDR& header) {
  switch (header.code) {
    // A request never opens: selecting it (which tries to) activates it instead.
    case TVN_ITEMEXPANDINGW: {
      auto& change = reinterpret_cast<NMTREEVIEWW&>(header);
      if (change.action & TVE_EXPAND) return Activate(change.itemNew.hItem) ? TRUE : FALSE;
      return FALSE;
    }
    case TVN_ENDLABELEDITW: {
      auto& edit = reinterpret_cast<NMTVDISPINFOW&>(header);
      if (!edit.item.pszText) return FALSE;
      const std::string text = ui::Narrow(edit.item.pszText);
      SearchNode* node = NodeAt(nodes_, PathOf(edit.item.hItem));
      if (!node) return FALSE;
      if (!SearchTextFits(text)) {  // the file could not hold it
        ui::ShowMessage(
            parts_.window.Hwnd(),
            LookupMessage("Такой текст не сохранить в файле закладок: пробел или табуляция в начале, перевод строки.", "textBadNodeText"),
            MB_ICONWARNING | MB_OK);
        return FALSE;
      }
      node->text = text;
      return TRUE;
    }
    default: return 0;
  }
}

}  // namespace qp
