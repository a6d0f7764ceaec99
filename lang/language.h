// Language files: which file each language number means, the current language, the
// message lookup and the translation of windows.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "base/ini_file.h"
#include "ui/form.h"

namespace qp {

inline constexpr int kLanguageCount = 4;  // 0 English, 1 Russian, 2 Ukraine, 3 Custom

// "English.lng" ... "Custom.lng"; empty for a number that has no file.
std::string_view LanguageFileName(int number);

// The loaded file of that language from the working folder, or nullptr when it is missing.
std::unique_ptr<IniFile> OpenLanguageFile(int number);

// The process-wide current language (SetCurrentLanguage in base/process.h): its number
// and its file, if one was found.
int CurrentLanguageNumber();
const IniFile* CurrentLanguageFile();

// The text to show for a message: the built-in default without a current file,
// otherwise the file's "Misc" entry (empty when missing), "*|*" turned into line breaks.
std::string LookupMessage(std::string_view default_text, std::string_view key);
std::string LookupMessage(const IniFile* file, std::string_view default_text, std::string_view key);
std::string JoinMessageLines(std::string_view value);

// The messages that name a file the program could not read or write.
std::string CannotReadMessage(std::string_view path);
std::string CannotWriteMessage(std::string_view path);
// "Файл не найден:" and the path.
std::string FileNotFoundMessage(std::string_view path);
// What a text that should be a whole number and is not gets (the runtime's own words).
std::string NotAnIntegerMessage(std::string_view text);

// Applies a language file to a window's title, captions, hints, memo lines and items.
// Texts the file lacks (or leaves empty) keep what the window shows now.
void TranslateWindow(ui::Form& form, const IniFile& file);
// The same with the current language's file; without one the window keeps its texts.
void TranslateToCurrentLanguage(ui::Form& form);

}  // namespace qp
