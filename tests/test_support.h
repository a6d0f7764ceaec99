// Shared test helpers: scratch folders, whole-file access and an in-memory window for the
// portable code.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ui/form.h"

namespace qp::test {

// A path in a test: a std::filesystem path for the test's own checks, and the UTF-8 text
// the program's functions take.
class TestPath {
 public:
  explicit TestPath(std::filesystem::path path) : path_(std::move(path)) {}
  operator const std::filesystem::path&() const { return path_; }
  operator std::string() const { return string(); }
  std::string string() const;  // UTF-8
  TestPath operator/(const char* utf8_name) const { return *this / std::string(utf8_name); }
  TestPath operator/(const std::string& utf8_name) const;
  TestPath operator/(const std::filesystem::path& name) const { return TestPath(path_ / name); }

 private:
  std::filesystem::path path_;
};

// A fresh folder, removed with everything in it when the test ends.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const TestPath& Path() const { return path_; }
  // Names are UTF-8, as everywhere in the program.
  TestPath operator/(const std::string& name) const { return path_ / name; }

 private:
  TestPath path_;
};

std::string ReadAll(const std::filesystem::path& path);
void WriteAll(const std::filesystem::path& path, const std::string& bytes);

// A window model holding the texts a real window would show, built from the same table.
class MemoryForm final : public ui::Form {
 public:
  explicit MemoryForm(ui::FormDef def);
  const std::string& Name() const override { return def_.name; }
  std::string Title() const override { return title_; }
  void SetTitle(std::string_view text) override { title_ = std::string(text); }
  std::size_t ComponentCount() const override { return components_.size(); }
  ui::Component& ComponentAt(std::size_t index) override { return *components_.at(index); }

 private:
  ui::FormDef def_;
  std::string title_;
  std::vector<std::unique_ptr<ui::Component>> components_;
};

}  // namespace qp::test
