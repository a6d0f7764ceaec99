// Shared test helpers.
#include "test_support.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>

namespace qp::test {
namespace {

class MemoryComponent final : public ui::Component {
 public:
  explicit MemoryComponent(ui::ControlDef def) : def_(std::move(def)) {}
  const ui::ControlDef& Def() const override { return def_; }
  std::string Caption() const override { return def_.caption; }
  void SetCaption(std::string_view text) override { def_.caption = std::string(text); }
  std::string Hint() const override { return def_.hint; }
  void SetHint(std::string_view text) override { def_.hint = std::string(text); }
  std::vector<std::string> Lines() const override { return def_.items; }
  void SetLine(std::size_t index, std::string_view text) override { def_.items.at(index) = std::string(text); }
  bool Checked() const override { return def_.checked; }
  void SetChecked(bool checked) override { def_.checked = checked; }
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }

 private:
  ui::ControlDef def_;
  bool enabled_ = true;
};

}  // namespace

std::string TestPath::string() const {
  const std::u8string u8 = path_.u8string();
  return std::string(u8.begin(), u8.end());
}

TestPath TestPath::operator/(const std::string& utf8_name) const {
  return TestPath(path_ / std::filesystem::path(std::u8string(utf8_name.begin(), utf8_name.end())));
}

namespace {

std::filesystem::path FreshFolder() {
  static std::atomic<int> counter{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("qp-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(path);
  return path;
}

}  // namespace

TempDir::TempDir() : path_(FreshFolder()) {}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteAll(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

MemoryForm::MemoryForm(ui::FormDef def) : def_(std::move(def)), title_(def_.title) {
  for (const ui::ControlDef& c : def_.controls) components_.push_back(std::make_unique<MemoryComponent>(c));
}

}  // namespace qp::test
