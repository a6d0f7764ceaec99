// Language files, the message lookup and window translation.
#include "lang/language.h"

#include "base/file_io.h"
#include "base/process.h"
#include "base/working_folder.h"

namespace qp {
namespace {

constexpr std::string_view kMessageSection = "Misc";
constexpr std::string_view kLineBreakMark = "*|*";
constexpr std::string_view kNoMemoLine = "fsdef";  // tells "no key" from "empty line"

}  // namespace

std::string_view LanguageFileName(int number) {
  static constexpr std::string_view kFiles[kLanguageCount] = {"English.lng", "Russian.lng", "Ukraine.lng", "Custom.lng"};
  return number >= 0 && number < kLanguageCount ? kFiles[number] : std::string_view{};
}

std::unique_ptr<IniFile> OpenLanguageFile(int number) {
  std::string_view name = LanguageFileName(number);
  if (name.empty()) return nullptr;
  auto bytes = ReadFileBytes(ProgramFile(name));
  if (!bytes) return nullptr;
  return std::make_unique<IniFile>(DecodeFileText(*bytes, SystemCodec()).utf8);
}

int CurrentLanguageNumber() { return Process().language_number; }
const IniFile* CurrentLanguageFile() { return Process().language_file.get(); }

std::string JoinMessageLines(std::string_view value) {
  std::size_t mark = value.find(kLineBreakMark);
  if (mark == std::string_view::npos) return std::string(value);
  // Pieces before the last mark join from the first non-empty text on; the last piece
  // always follows a line break.
  std::string text;
  for (;;) {
    std::string_view piece = value.substr(0, mark);
    value.remove_prefix(mark + kLineBreakMark.size());
    mark = value.find(kLineBreakMark);
    if (mark == std::string_view::npos) {
      if (!text.empty()) text += "\r\n";
      text += piece;
      text += "\r\n";
      text += value;
      return text;
    }
    if (text.empty()) {
      text = piece;
    } else {
      text += "\r\n";
      text += piece;
    }
  }
}

std::string LookupMessage(const IniFile* file, std::string_view default_text, std::string_view key) {
  if (!file) return std::string(default_text);
  return JoinMessageLines(file->ReadString(kMessageSection, key, ""));
}

std::string LookupMessage(std::string_view default_text, std::string_view key) {
  return LookupMessage(CurrentLanguageFile(), default_text, key);
}

std::string CannotReadMessage(std::string_view path) {
  return LookupMessage("Не удалось прочитать файл", "textReadError") + " " + std::string(path);
}

std::string CannotWriteMessage(std::string_view path) {
  return LookupMessage("Не удалось записать файл", "textWriteError") + " " + std::string(path);
}

std::string FileNotFoundMessage(std::string_view path) {
  return LookupMessage("Файл не найден:", "textFileNotFound") + " " + std::string(path);
}

std::string NotAnIntegerMessage(std::string_view text) {
  std::string message = LookupMessage("'%s' is not a valid integer value", "textNotInteger");
  if (std::size_t at = message.find("%s"); at != std::string::npos) message.replace(at, 2, text);
  return message;
}

void TranslateWindow(ui::Form& form, const IniFile& file) {
  const std::string& w = form.Name();
  std::string title = file.ReadString(w, w + ".Caption", "");
  if (!title.empty() && title != form.Title()) form.SetTitle(title);

  for (std::size_t i = 0; i < form.ComponentCount(); ++i) {
    ui::Component& c = form.ComponentAt(i);
    const std::string prefix = w + "." + c.Name();
    // What already shows the text is left alone: the window is often made translated.
    if (ui::HasCaption(c.GetKind())) {
      std::string caption = file.ReadString(w, prefix + ".Caption", "");
      if (!caption.empty() && caption != c.Caption()) c.SetCaption(caption);
    }
    if (ui::HasHint(c.GetKind())) {
      std::string hint = file.ReadString(w, prefix + ".Hint", "");
      if (!hint.empty()) c.SetHint(hint);
    }
    const ui::Kind kind = c.GetKind();
    if (kind == ui::Kind::Memo) {
      const std::vector<std::string> lines = c.Lines();
      const std::size_t count = lines.size();
      for (std::size_t line = 0; line < count; ++line) {
        std::string text = file.ReadString(w, prefix + ".lines[" + std::to_string(line) + "]", kNoMemoLine);
        if (text != kNoMemoLine && text != lines[line]) c.SetLine(line, text);
      }
    } else if (kind == ui::Kind::RadioGroup || kind == ui::Kind::ComboBox) {
      const std::vector<std::string> items = c.Lines();
      for (std::size_t item = 0; item < items.size(); ++item) {
        std::string text = file.ReadString(w, prefix + ".items[" + std::to_string(item) + "]", "");
        if (!text.empty() && text != items[item]) c.SetLine(item, text);
      }
    }
  }
}

void TranslateToCurrentLanguage(ui::Form& form) {
  if (const IniFile* file = CurrentLanguageFile()) TranslateWindow(form, *file);
}

}  // namespace qp
