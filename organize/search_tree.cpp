// The bookmark tree's data and file.
#include "organize/search_tree.h"

#include <algorithm>

#include "base/error_log.h"
#include "base/file_io.h"
#include "base/lines.h"
#include "base/text_codec.h"
#include "base/working_folder.h"
#include "lang/language.h"

namespace qp {
namespace {

bool StartsWithAt(const std::string& text) { return !text.empty() && text.front() == '@'; }

void FormatInto(std::string& out, const SearchForest& nodes, std::size_t depth) {
  for (const SearchNode& node : nodes) {
    out.append(depth, '\t');
    out += node.text;
    out += "\r\n";
    FormatInto(out, node.children, depth + 1);
  }
}

// The container a path's last index points into, or nullptr.
SearchForest* ContainerOf(SearchForest& nodes, const NodePath& path) {
  if (path.empty()) return nullptr;
  if (path.size() == 1) return &nodes;
  SearchNode* parent = NodeAt(nodes, NodePath(path.begin(), path.end() - 1));
  return parent ? &parent->children : nullptr;
}

NodePath ParentOf(const NodePath& path) { return path.empty() ? path : NodePath(path.begin(), path.end() - 1); }

bool IsWithin(const NodePath& path, const NodePath& ancestor) {
  return path.size() >= ancestor.size() && std::equal(ancestor.begin(), ancestor.end(), path.begin());
}

// Where `path` points after the node at `removed` was taken out.
NodePath AfterRemoval(NodePath path, const NodePath& removed) {
  const std::size_t k = removed.size() - 1;
  if (path.size() > k && std::equal(removed.begin(), removed.begin() + static_cast<std::ptrdiff_t>(k), path.begin()) &&
      path[k] > removed[k]) {
    --path[k];
  }
  return path;
}

SearchNode RequestNode(const RequestFields& fields) { return {fields.name, {{"@" + fields.link, {}}, {"@" + fields.continuation, {}}}}; }

}  // namespace

SearchTreeText ParseSearchTree(std::string_view utf8) {
  SearchTreeText result;
  std::vector<SearchForest*> levels = {&result.nodes};  // the container for each depth
  for (std::string_view line : SplitLines(utf8)) {
    const std::size_t depth = std::min(line.find_first_not_of("\t "), line.size());
    const std::string_view text = line.substr(depth);
    if (depth >= levels.size()) {  // more than one level below the line before
      result.error = "Invalid level (" + std::to_string(depth) + ") for item \"" + std::string(text) + "\"";
      break;
    }
    SearchForest& container = *levels[depth];
    container.push_back({std::string(text), {}});
    levels.resize(depth + 1);
    levels.push_back(&container.back().children);
  }
  return result;
}

std::string FormatSearchTree(const SearchForest& nodes) {
  std::string out;
  FormatInto(out, nodes, 0);
  return out;
}

bool SearchTextFits(std::string_view text) {
  if (!text.empty() && (text.front() == ' ' || text.front() == '\t')) return false;
  return text.find_first_of("\r\n") == std::string_view::npos;
}

std::string BadNodeTextMessage() {
  return LookupMessage("Такой текст не сохранить в файле закладок: пробел или табуляция в начале, перевод строки.", "textBadNodeText");
}

SearchTreeFile LoadSearchTree() {
  SearchTreeFile file;
  const std::string path = ProgramFile(kSearchTreeFile);
  const TextFileState state = ReadTextFile(path, SystemCodec());
  file.encoding = state.text.encoding;
  if (!state.exists) return file;
  if (!state.whole) {
    file.complete = false;
    file.error = "Not read whole : " + path;
    return file;
  }
  SearchTreeText text = ParseSearchTree(state.text.utf8);
  file.nodes = std::move(text.nodes);
  file.complete = text.error.empty();
  file.error = std::move(text.error);
  return file;
}

bool SaveSearchTree(const SearchForest& nodes, const SearchTreeFile& loaded, std::string* kept_in) {
  if (nodes.empty()) return true;  // a missing file is not replaced by an empty one
  const std::string path = ProgramFile(kSearchTreeFile);
  if (loaded.complete) return RewriteTextFile(path, FormatSearchTree(nodes), SystemCodec());
  LogError("Not rewritten, it was not read completely : " + path);
  if (nodes == loaded.nodes) return true;  // the part that was read is still in the file
  // Never over an earlier session's tree: the user may not have taken it over yet.
  std::string kept = path + ".new";
  for (int n = 2; FileExists(kept); ++n) kept = path + ".new" + std::to_string(n);
  if (!WriteFileAtomically(kept, EncodeFileText(FormatSearchTree(nodes), loaded.encoding, SystemCodec()))) return false;
  LogError("The tree is kept in : " + kept);
  if (kept_in) *kept_in = kept;
  return true;
}

std::string TreeKeptMessage(std::string_view path) {
  return LookupMessage("Файл закладок \"search.qpt\" прочитан не полностью и оставлен как есть. Закладки этого сеанса сохранены в файле",
                       "textTreeKept") +
         " " + std::string(path);
}

const SearchNode* NodeAt(const SearchForest& nodes, const NodePath& path) {
  if (path.empty()) return nullptr;
  const SearchForest* container = &nodes;
  const SearchNode* node = nullptr;
  for (std::size_t index : path) {
    if (index >= container->size()) return nullptr;
    node = &(*container)[index];
    container = &node->children;
  }
  return node;
}

SearchNode* NodeAt(SearchForest& nodes, const NodePath& path) {
  return const_cast<SearchNode*>(NodeAt(static_cast<const SearchForest&>(nodes), path));
}

bool IsRequest(const SearchNode& node) { return !node.children.empty() && StartsWithAt(node.children.front().text); }

bool IsBookmark(const NodePath& path, const SearchForest& nodes) {
  const SearchNode* node = NodeAt(nodes, path);
  return node && IsRequest(*node) && path.size() >= 2 && path.front() == 0;
}

int NodeImage(const SearchForest& nodes, const NodePath& path, bool expanded) {
  const SearchNode* node = NodeAt(nodes, path);
  if (!node) return kClosedCategoryImage;
  if (path == NodePath{0} || node->root_image) return kRootImage;
  if (IsRequest(*node)) return kRequestImage;
  return expanded ? kOpenCategoryImage : kClosedCategoryImage;
}

std::optional<Activation> Activate(const SearchForest& nodes, const NodePath& path) {
  const SearchNode* node = NodeAt(nodes, path);
  if (!node || !IsRequest(*node)) return std::nullopt;
  Activation activation;
  if (IsBookmark(path, nodes)) {
    activation.bookmark = true;
    activation.address = node->children.front().text.substr(1);
  } else {
    activation.prefix = node->children.front().text.substr(1);
    const std::string& last = node->children.back().text;
    activation.suffix = last.empty() ? std::string() : last.substr(1);
    activation.caption1 = node->text + " 1";
    activation.caption2 = node->text + " 2";
  }
  return activation;
}

std::optional<NodePath> InsertCategory(SearchForest& nodes, const NodePath& selected, const std::string& text) {
  SearchForest* container = ContainerOf(nodes, selected);
  if (!container || !NodeAt(nodes, selected)) return std::nullopt;
  container->insert(container->begin() + static_cast<std::ptrdiff_t>(selected.back()), SearchNode{text, {}, true});
  return selected;
}

std::optional<NodePath> AddCategory(SearchForest& nodes, const NodePath& selected, const std::string& text) {
  SearchForest* container = ContainerOf(nodes, selected);
  if (!container || !NodeAt(nodes, selected)) return std::nullopt;
  container->insert(container->begin(), SearchNode{text, {}});
  NodePath made = ParentOf(selected);
  made.push_back(0);
  return made;
}

std::optional<NodePath> AddSubCategory(SearchForest& nodes, const NodePath& selected, const std::string& text) {
  const SearchNode* node = NodeAt(nodes, selected);
  if (!node) return std::nullopt;
  const NodePath target = IsRequest(*node) ? ParentOf(selected) : selected;
  SearchNode* parent = NodeAt(nodes, target);
  if (!parent) return std::nullopt;
  parent->children.insert(parent->children.begin(), SearchNode{text, {}});
  NodePath made = target;
  made.push_back(0);
  return made;
}

std::optional<NodePath> RequestTarget(const SearchForest& nodes, const NodePath& selected) {
  const SearchNode* node = NodeAt(nodes, selected);
  if (!node) return std::nullopt;
  const NodePath target = IsRequest(*node) ? ParentOf(selected) : selected;
  const SearchNode* target_node = NodeAt(nodes, target);
  if (!target_node || IsRequest(*target_node)) return std::nullopt;
  return target;
}

std::optional<RequestFields> FieldsOf(const SearchForest& nodes, const NodePath& path) {
  const SearchNode* node = NodeAt(nodes, path);
  if (!node || !IsRequest(*node)) return std::nullopt;
  const std::string& last = node->children.back().text;
  return RequestFields{node->text, node->children.front().text.substr(1), last.empty() ? std::string() : last.substr(1)};
}

bool FieldsFit(const RequestFields& fields) {
  // The links follow their "@": a blank at their start is kept.
  return SearchTextFits(fields.name) && SearchTextFits("@" + fields.link) && SearchTextFits("@" + fields.continuation);
}

std::optional<NodePath> CreateRequest(SearchForest& nodes, const NodePath& current, const RequestFields& fields) {
  SearchNode* parent = NodeAt(nodes, current);
  if (!parent) return std::nullopt;
  parent->children.push_back(RequestNode(fields));
  NodePath made = current;
  made.push_back(parent->children.size() - 1);
  return made;
}

bool ChangeRequest(SearchForest& nodes, const NodePath& current, const RequestFields& fields) {
  SearchNode* node = NodeAt(nodes, current);
  if (!node || node->children.empty() || !StartsWithAt(node->children.front().text) || !StartsWithAt(node->children.back().text)) {
    return false;
  }
  node->children.erase(node->children.begin());
  if (!node->children.empty()) node->children.pop_back();
  node->text = fields.name;
  node->children.push_back({"@" + fields.link, {}});
  node->children.push_back({"@" + fields.continuation, {}});
  return true;
}

bool DeleteNode(SearchForest& nodes, const NodePath& selected) {
  SearchForest* container = ContainerOf(nodes, selected);
  if (!container || !NodeAt(nodes, selected)) return false;
  container->erase(container->begin() + static_cast<std::ptrdiff_t>(selected.back()));
  return true;
}

bool CanDrop(const SearchForest& nodes, const NodePath& dragged, const NodePath& target) {
  return NodeAt(nodes, dragged) && NodeAt(nodes, target) && !IsWithin(target, dragged);
}

std::optional<NodePath> DropNode(SearchForest& nodes, const NodePath& dragged, const NodePath& target) {
  if (!CanDrop(nodes, dragged, target)) return std::nullopt;
  SearchNode moved = std::move(*NodeAt(nodes, dragged));
  DeleteNode(nodes, dragged);
  NodePath place = AfterRemoval(target, dragged);
  SearchNode* onto = NodeAt(nodes, place);
  if (IsRequest(*onto)) {
    ContainerOf(nodes, place)->insert(ContainerOf(nodes, place)->begin() + static_cast<std::ptrdiff_t>(place.back()), std::move(moved));
    return place;
  }
  onto->children.push_back(std::move(moved));
  place.push_back(onto->children.size() - 1);
  return place;
}

}  // namespace qp
