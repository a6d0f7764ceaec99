// Shared test helpers: a scratch folder and an in-memory window for the portable code.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/file_io.h"
#include "ui/form.h"

namespace qp::test {

// A fresh folder, removed with everything in it when the test ends.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& Path() const { return path_; }
  // Names are UTF-8, as everywhere in the program.
  std::filesystem::path operator/(const std::string& name) const { return path_ / PathFromUtf8(name); }

 private:
  std::filesystem::path path_;
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
