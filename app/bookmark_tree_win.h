// The bookmark tree of "Закладки и Поиск" (JvSearchTreeView): "search.qpt" shown as a tree,
// loaded at the first activation and saved at exit; selecting a bookmark fills the request
// line and list 1, selecting a search template gives the search buttons their address
// frame and captions. Edited through PopupMenu2, the "+" label, the search constructor and
// drag and drop; every edit changes the data first and the view shows it again.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

#include "app/request_line_win.h"
#include "app/request_list_switches_win.h"
#include "dialogs/search_constructor_win.h"
#include "organize/search_tree.h"
#include "ui/window_win.h"

namespace qp {

class BookmarkTree {
 public:
  struct Parts {
    ui::Window& window;
    RequestLine& request_line;
    RequestListSwitches& lists;
    // A search template was chosen: prefix and suffix of the search address.
    std::function<void(const std::string& prefix, const std::string& suffix)> set_search;
  };
  explicit BookmarkTree(Parts parts);
  ~BookmarkTree();
  BookmarkTree(const BookmarkTree&) = delete;
  BookmarkTree& operator=(const BookmarkTree&) = delete;

  // The last step of the first activation (the pictures too, so that the start does not
  // wait for them); a file that could not be read whole goes to the
  // error log, and such a tree is never written back.
  void Load();
  // At exit: unless the tree is empty. A tree from a file read only in part goes to a file
  // of its own beside it, and the user is told where (once: there is one exit).
  bool Save();
  // The tree view's notifications.
  LRESULT Notify(NMHDR& header);
  // The right-click menu and dragging; true when the message was the tree's.
  bool HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam);
  // Escape while a node is dragged drops nothing; true when a drag was under way.
  bool CancelDrag();

  // PopupMenu2 and the "+" label. Each acts on the selected node (the "+" label on the
  // root) and does nothing without one.
  void miInsertCategoryClick();
  void miAddCategoryClick();
  void miAddSubCategoryClick();
  void miAddRequestClick();
  void miEditRequestClick();
  void miRenameRequestClick();
  void miDeleteRequestClick();
  void lbAddToFavoritesClick();

  // The search constructor is open: the program's exit waits until it closes.
  bool DialogOpen() const { return dialog_ && dialog_->Running(); }
  void CloseDialog();

  const SearchForest& Nodes() const { return nodes_; }

 private:
  HWND Tree() const;
  void Fill();
  void FillUnder(HTREEITEM parent, const SearchForest& nodes);
  NodePath PathOf(HTREEITEM item) const;
  HTREEITEM ItemAt(const NodePath& path) const;
  NodePath Selected() const;
  // Shows the tree again after an edit and selects the node the edit made or moved.
  void Show(const std::optional<NodePath>& made);
  // Selects without activating: a request chosen to be edited does not fill the line.
  void SelectQuietly(HTREEITEM item);
  // true when the item was a request: its expansion is refused.
  bool Activate(HTREEITEM item);
  void GiveDisplayInfo(NMTVDISPINFOW& info);
  bool EndLabelEdit(NMTVDISPINFOW& edit);
  void ShowMenu(LPARAM at);
  void EditInDialog(const NodePath& current, const RequestFields& fields);
  void BeginDrag(const NMTREEVIEWW& drag);
  HTREEITEM DropTarget(LPARAM at) const;
  void EndDrag(bool drop, LPARAM at);

  Parts parts_;
  SearchForest nodes_;
  SearchTreeFile loaded_;  // without its nodes when it was read whole: they are not needed
  bool quiet_ = false;     // a selection made by the program, not by the user
  HIMAGELIST images_ = nullptr;
  HTREEITEM dragged_ = nullptr;
  std::unique_ptr<TfmSearchConstructor> dialog_;  // made on first use
};

}  // namespace qp
