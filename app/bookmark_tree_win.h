// The bookmark tree of "Закладки и Поиск" (JvSearchTreeView): "search.qpt" shown as a tree,
// loaded at the first activation and saved at exit; selecting a bookmark fills the request
// line and list 1, selecting a search template gives the search buttons their address
// frame and captions.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "app/request_line_win.h"
#include "app/request_list_switches_win.h"
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

  // The last step of the first activation; a file that could not be read whole goes to the
  // error log, and such a tree is never written back.
  void Load();
  // At exit: unless the tree is empty or came from a file read only in part.
  bool Save();
  // The tree view's notifications.
  LRESULT Notify(NMHDR& header);

  const SearchForest& Nodes() const { return nodes_; }

 private:
  HWND Tree() const;
  void Fill();
  void FillUnder(HTREEITEM parent, const SearchForest& nodes);
  NodePath PathOf(HTREEITEM item) const;
  // true when the item was a request: its expansion is refused.
  bool Activate(HTREEITEM item);

  Parts parts_;
  SearchForest nodes_;
  bool loaded_complete_ = true;
};

}  // namespace qp
