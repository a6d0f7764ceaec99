// The bookmark tree of "Закладки и Поиск" as data: its nodes, the file "search.qpt", the
// kinds the texts make (root, category, request; bookmark or search template), what
// activating a request gives, and the edits of the tree's menu, dialog and drag and drop.
// The tree view shows this; nothing here knows about windows.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_io.h"

namespace qp {

inline constexpr std::string_view kSearchTreeFile = "search.qpt";

struct SearchNode {
  std::string text;
  std::vector<SearchNode> children;
  // Made by "Вставить категорию": shows the root's picture, open or closed, for as long as
  // the program runs (the file does not keep it).
  bool root_image = false;
  bool operator==(const SearchNode&) const = default;
};
using SearchForest = std::vector<SearchNode>;  // the top-level nodes; the first is the root

// A node by the indices from the top level down; {} is no node.
using NodePath = std::vector<std::size_t>;

// ---- The file ----------------------------------------------------------------------

struct SearchTreeText {
  SearchForest nodes;
  std::string error;  // "" when every line was read
};
// Each line a node: its leading TABs or spaces are its depth, the rest its text (empty
// lines are nodes with empty text). A line more than one level deeper than the line
// before ends the reading with an error naming the level and the text; the nodes read
// until then stay.
SearchTreeText ParseSearchTree(std::string_view utf8);
// Depth-first, one line per node: depth TABs, text, CR LF.
std::string FormatSearchTree(const SearchForest& nodes);

// Whether the format can hold a node text: no leading blank or TAB, no line break.
bool SearchTextFits(std::string_view text);
// What the user is told when a text is refused for that, in the current language.
std::string BadNodeTextMessage();

// "search.qpt" of the working folder, as the other files: the system code page, or UTF-8
// where the file is. `complete` is false when the file is there but could not be read or
// ended in an error: such a tree must not replace the file.
struct SearchTreeFile {
  SearchForest nodes;
  bool complete = true;
  std::string error;  // for the error log
  TextEncoding encoding = TextEncoding::CodePage;
};
SearchTreeFile LoadSearchTree();
// Writes the tree unless it is empty. A file that was not read completely is left as it is
// (the error log says so); a tree the session changed then goes to a file of its own beside
// it, "search.qpt.new" or, when that is there already, "search.qpt.new2" and so on, whose
// path goes to `kept_in`. false when a write failed.
bool SaveSearchTree(const SearchForest& nodes, const SearchTreeFile& loaded, std::string* kept_in = nullptr);
// What the user is told when the tree went to such a file, in the current language.
std::string TreeKeptMessage(std::string_view path);

// ---- Kinds ---------------------------------------------------------------------------

const SearchNode* NodeAt(const SearchForest& nodes, const NodePath& path);
SearchNode* NodeAt(SearchForest& nodes, const NodePath& path);

// A request: its first child's text begins with "@" (the link or search start; the last
// child the continuation). Anything else is a category.
bool IsRequest(const SearchNode& node);
// A request at or below the first top-level node (at any depth).
bool IsBookmark(const NodePath& path, const SearchForest& nodes);

// The tree's pictures (the main window's image list).
enum TreeImage { kClosedCategoryImage = 0, kOpenCategoryImage = 1, kRootImage = 2, kRequestImage = 4 };
// The picture of a node: the root and categories made by "Вставить категорию" keep the
// root's, a request has its own, any other category shows whether it is open.
int NodeImage(const SearchForest& nodes, const NodePath& path, bool expanded);

// What selecting a request does: a bookmark gives its address (request line, list 1); a
// search template its prefix and suffix and the search buttons' captions.
struct Activation {
  bool bookmark = false;
  std::string address;             // bookmark
  std::string prefix, suffix;      // search template
  std::string caption1, caption2;  // of the search buttons
};
std::optional<Activation> Activate(const SearchForest& nodes, const NodePath& path);

// ---- Edits ---------------------------------------------------------------------------
// The three texts of a request as the search constructor shows them: its name, its first
// child and its last child without their "@".
struct RequestFields {
  std::string name, link, continuation;
  bool operator==(const RequestFields&) const = default;
};
// Of the request at `path` (nullopt for a category or no node).
std::optional<RequestFields> FieldsOf(const SearchForest& nodes, const NodePath& path);
// Whether the file can hold a request made of these fields.
bool FieldsFit(const RequestFields& fields);

// Each takes the selected node's path and gives the path of the node it made or moved
// (nullopt when it did nothing: no node there, or the edit does not apply).

// A new node just before the selected one, under the same parent; it keeps the root's picture.
std::optional<NodePath> InsertCategory(SearchForest& nodes, const NodePath& selected, const std::string& text);
// A new first sibling of the selected node.
std::optional<NodePath> AddCategory(SearchForest& nodes, const NodePath& selected, const std::string& text);
// A new first child of the selected node, or of its parent when it is a request.
std::optional<NodePath> AddSubCategory(SearchForest& nodes, const NodePath& selected, const std::string& text);
// Where "Добавить запрос" creates: the selected node, or its parent when it is a request;
// nullopt when that is a request itself.
std::optional<NodePath> RequestTarget(const SearchForest& nodes, const NodePath& selected);
// "Coздать": a new last child of `current` named `name` with "@" + link and "@" + continuation.
std::optional<NodePath> CreateRequest(SearchForest& nodes, const NodePath& current, const RequestFields& fields);
// "Изменить": only a node whose first and last children begin with "@".
bool ChangeRequest(SearchForest& nodes, const NodePath& current, const RequestFields& fields);
bool DeleteNode(SearchForest& nodes, const NodePath& selected);
// Whether a dragged node may be dropped there: not on itself, not into its own subtree.
bool CanDrop(const SearchForest& nodes, const NodePath& dragged, const NodePath& target);
// Drag and drop: onto a request, just before it; onto anything else, as its last child.
// A drop on the dragged node itself or on one of its descendants does nothing.
std::optional<NodePath> DropNode(SearchForest& nodes, const NodePath& dragged, const NodePath& target);

}  // namespace qp
