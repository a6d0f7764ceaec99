// The bookmark tree's data: the file "search.qpt", the node kinds, activation and edits.
#include <gtest/gtest.h>

#include "base/process.h"
#include "base/text_codec.h"
#include "base/working_folder.h"
#include "organize/search_tree.h"
#include "test_support.h"

namespace qp {
namespace {

SearchNode Request(std::string name, std::string link, std::string continuation = "") {
  return {std::move(name), {{"@" + link, {}}, {"@" + continuation, {}}}};
}

// The root with a bookmark three categories down, a category of search templates.
SearchForest Sample() {
  return {
      {"Закладки",
       {Request("Справка www4mail", "http://www4mail.example/help"),
        {"Уровень 1", {{"Уровень 2", {{"Уровень 3", {Request("Глубоко", "ftp://deep.example/")}}}}}}}},
      {"Поиск", {Request("Яндекс", "http://yandex.ru/yandsearch?text=", "&lr=213"), {"", {}}}},
  };
}

const std::string kSampleText =
    "Закладки\r\n\tСправка www4mail\r\n\t\t@http://www4mail.example/help\r\n\t\t@\r\n\tУровень 1\r\n\t\tУровень 2\r\n\t\t\tУровень 3\r\n"
    "\t\t\t\tГлубоко\r\n\t\t\t\t\t@ftp://deep.example/\r\n\t\t\t\t\t@\r\nПоиск\r\n\tЯндекс\r\n\t\t@http://yandex.ru/yandsearch?text=\r\n"
    "\t\t@&lr=213\r\n\t\r\n";

TEST(SearchTreeFormat, TreesAndTextsRoundTripExactly) {
  EXPECT_EQ(FormatSearchTree(Sample()), kSampleText);
  SearchTreeText read = ParseSearchTree(kSampleText);
  EXPECT_EQ(read.error, "");
  EXPECT_EQ(read.nodes, Sample());
  EXPECT_EQ(FormatSearchTree(read.nodes), kSampleText);
}

TEST(SearchTreeFormat, BlanksCountAsLevelsAndALineTooDeepEndsTheReading) {
  SearchTreeText read = ParseSearchTree("A\n B\n\t\tC\n \tD\r\n\t\t\t\tToo deep\nNever\n");
  EXPECT_EQ(read.nodes, (SearchForest{{"A", {{"B", {{"C", {}}, {"D", {}}}}}}}));
  EXPECT_EQ(read.error, "Invalid level (4) for item \"Too deep\"");
  EXPECT_EQ(ParseSearchTree("\tFirst line a level down\n").error, "Invalid level (1) for item \"First line a level down\"");
  EXPECT_FALSE(SearchTextFits(" leading blank"));
  EXPECT_FALSE(SearchTextFits("\tleading tab"));
  EXPECT_FALSE(SearchTextFits("two\r\nlines"));
  EXPECT_TRUE(SearchTextFits("inner \t blanks"));
}

class SearchTreeFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    SetWorkingFolder(dir_.Path());
    SetSystemCodec(CodecByNumber(1251));
  }
  std::string File() const { return test::ReadAll(dir_ / "search.qpt"); }
  test::TempDir dir_;
};

TEST_F(SearchTreeFiles, TheFileKeepsItsEncodingByteForByte) {
  const std::string code_page = SystemCodec().Encode(kSampleText);
  test::WriteAll(dir_ / "search.qpt", code_page);
  SearchTreeFile loaded = LoadSearchTree();
  ASSERT_TRUE(loaded.complete);
  EXPECT_EQ(loaded.nodes, Sample());
  ASSERT_TRUE(SaveSearchTree(loaded.nodes, loaded));
  EXPECT_EQ(File(), code_page);

  test::WriteAll(dir_ / "search.qpt", "\xEF\xBB\xBF" + kSampleText);  // UTF-8 with its mark stays so
  loaded = LoadSearchTree();
  ASSERT_TRUE(SaveSearchTree(loaded.nodes, loaded));
  EXPECT_EQ(File(), "\xEF\xBB\xBF" + kSampleText);
}

TEST_F(SearchTreeFiles, ATreeReadOnlyInPartOrEmptyNeverReplacesTheFile) {
  const std::string damaged = SystemCodec().Encode("Закладки\r\n\tA\r\n\t\t\tB\r\n\tC\r\n");
  test::WriteAll(dir_ / "search.qpt", damaged);
  SearchTreeFile loaded = LoadSearchTree();
  EXPECT_FALSE(loaded.complete);
  EXPECT_EQ(loaded.nodes, (SearchForest{{"Закладки", {{"A", {}}}}}));
  EXPECT_NE(loaded.error.find("Invalid level (3)"), std::string::npos);
  std::string kept;
  ASSERT_TRUE(SaveSearchTree(loaded.nodes, loaded, &kept));
  EXPECT_EQ(kept, "");         // nothing of the session to keep
  EXPECT_EQ(File(), damaged);  // C and B are still in it

  // What the session added goes beside it, never over an earlier session's.
  SearchForest added = loaded.nodes;
  added.push_back({"Новая категория", {}});
  for (const std::string name : {"search.qpt.new", "search.qpt.new2"}) {
    ASSERT_TRUE(SaveSearchTree(added, loaded, &kept));
    EXPECT_EQ(kept, ProgramFile(name));
    EXPECT_EQ(test::ReadAll(dir_ / name), SystemCodec().Encode(FormatSearchTree(added)));
  }
  EXPECT_EQ(File(), damaged);

  EXPECT_TRUE(SaveSearchTree({}, SearchTreeFile{}));
  EXPECT_EQ(File(), damaged);
}

TEST(SearchTreeKinds, BookmarksAreRequestsUnderTheFirstNodeAndTheRestAreSearchTemplates) {
  SearchForest tree = Sample();
  std::optional<Activation> deep = Activate(tree, {0, 1, 0, 0, 0});
  ASSERT_TRUE(deep);
  EXPECT_TRUE(deep->bookmark);
  EXPECT_EQ(deep->address, "ftp://deep.example/");
  std::optional<Activation> search = Activate(tree, {1, 0});
  ASSERT_TRUE(search);
  EXPECT_FALSE(search->bookmark);
  EXPECT_EQ(search->prefix, "http://yandex.ru/yandsearch?text=");
  EXPECT_EQ(search->suffix, "&lr=213");
  EXPECT_EQ(search->caption1, "Яндекс 1");
  EXPECT_EQ(search->caption2, "Яндекс 2");
  EXPECT_FALSE(Activate(tree, {0, 1}));  // a category
  EXPECT_FALSE(Activate(tree, {7}));     // no node

  // A node inserted before the root becomes the root: the old bookmarks are templates now.
  ASSERT_EQ(InsertCategory(tree, {0}, "Новая категория"), (NodePath{0}));
  EXPECT_FALSE(IsBookmark({1, 0}, tree));
  EXPECT_FALSE(Activate(tree, {1, 0})->bookmark);
}

TEST(SearchTreeEdits, CategoriesAndRequestsGoWhereTheMenuSays) {
  SearchForest tree = Sample();
  EXPECT_EQ(AddCategory(tree, {0, 1}, "Новая категория"), (NodePath{0, 0}));
  EXPECT_EQ(tree[0].children[0].text, "Новая категория");
  // On a request, a subcategory and a new request go to its parent.
  EXPECT_EQ(AddSubCategory(tree, {0, 1}, "Sub"), (NodePath{0, 0}));
  EXPECT_EQ(RequestTarget(tree, {0, 2}), (NodePath{0}));
  EXPECT_EQ(CreateRequest(tree, {0}, {}), (NodePath{0, 4}));  // "+" with an empty request line
  EXPECT_EQ(tree[0].children[4], Request("", ""));
  EXPECT_TRUE(ChangeRequest(tree, {0, 4}, {"Named", "http://x/", "y"}));
  EXPECT_EQ(tree[0].children[4], Request("Named", "http://x/", "y"));
  EXPECT_EQ(FieldsOf(tree, {0, 4}), (RequestFields{"Named", "http://x/", "y"}));
  EXPECT_FALSE(FieldsOf(tree, {0, 3}));  // "Редактировать запрос" on a category
  EXPECT_FALSE(ChangeRequest(tree, {0, 3}, {"Not a request", "a", "b"}));
  EXPECT_EQ(tree[0].children[3].text, "Уровень 1");
  EXPECT_TRUE(DeleteNode(tree, {0, 3}));
  EXPECT_FALSE(DeleteNode(tree, {0, 30}));
  EXPECT_FALSE(AddCategory(tree, {}, "x"));  // nothing selected: nothing happens
  EXPECT_FALSE(RequestTarget(tree, {}));
}

// The pictures follow the kinds; an inserted category keeps the root's, open or closed,
// and the root's follows whichever node is first.
TEST(SearchTreeKinds, PicturesFollowTheKindAndTheOpenState) {
  SearchForest tree = Sample();
  EXPECT_EQ(NodeImage(tree, {0}, false), kRootImage);
  EXPECT_EQ(NodeImage(tree, {0}, true), kRootImage);
  EXPECT_EQ(NodeImage(tree, {0, 0}, false), kRequestImage);
  EXPECT_EQ(NodeImage(tree, {0, 1}, false), kClosedCategoryImage);
  EXPECT_EQ(NodeImage(tree, {0, 1}, true), kOpenCategoryImage);
  ASSERT_EQ(InsertCategory(tree, {1}, "Вставлена"), (NodePath{1}));
  EXPECT_EQ(NodeImage(tree, {1}, true), kRootImage);
  EXPECT_EQ(NodeImage(tree, {2}, true), kOpenCategoryImage);
  ASSERT_TRUE(DropNode(tree, {0}, {2}));  // the old root goes under "Поиск"
  EXPECT_EQ(NodeImage(tree, {1, 1}, true), kOpenCategoryImage);
  // Text edits that the file could not hold are refused before they reach it.
  EXPECT_TRUE(FieldsFit({"Имя", "http://a/?q=", " x"}));
  EXPECT_FALSE(FieldsFit({" Имя", "http://a/", ""}));
  EXPECT_FALSE(FieldsFit({"Имя", "http://a/\r\nb", ""}));
}

TEST(SearchTreeEdits, DropsMoveBeforeRequestsIntoCategoriesAndNeverIntoThemselves) {
  SearchForest tree = Sample();
  // A category onto a request: just before it.
  EXPECT_EQ(DropNode(tree, {0, 1}, {1, 0}), (NodePath{1, 0}));
  EXPECT_EQ(tree[1].children[0].text, "Уровень 1");
  EXPECT_EQ(tree[1].children[1].text, "Яндекс");
  // A request onto a category: its last child (the removal shifts the target's index).
  EXPECT_EQ(DropNode(tree, {0, 0}, {1, 0}), (NodePath{1, 0, 1}));
  EXPECT_TRUE(tree[0].children.empty());
  // Onto itself or into its own subtree: refused.
  EXPECT_FALSE(DropNode(tree, {1, 0}, {1, 0}));
  EXPECT_FALSE(DropNode(tree, {1, 0}, {1, 0, 0, 0}));
  EXPECT_EQ(tree[1].children[0].children.size(), 2u);
  // A top-level node dragged under a later sibling keeps the sibling's content.
  EXPECT_EQ(DropNode(tree, {0}, {1, 2}), (NodePath{0, 2, 0}));
  EXPECT_EQ(tree.size(), 1u);
  EXPECT_EQ(tree[0].children[2].children[0].text, "Закладки");
}

}  // namespace
}  // namespace qp
