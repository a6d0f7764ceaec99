// Text codecs: UTF-8 inside the program, the system's 8-bit code page in its files.
#pragma once

#include <string>
#include <string_view>

namespace qp {

inline constexpr int kCodePageUtf8 = 65001;
inline constexpr int kCodePageKoi8r = 20866;

// Turns file or wire bytes of one character set into UTF-8 and back. Characters the
// set cannot hold become "?", as the system's own conversion does.
class TextCodec {
 public:
  virtual ~TextCodec() = default;
  virtual int Number() const = 0;  // Windows code page number
  virtual std::string Decode(std::string_view bytes) const = 0;
  virtual std::string Encode(std::string_view utf8) const = 0;
};

// The built-in single-byte pages (1251, 1252, KOI8-R) and UTF-8; nullptr for others.
const TextCodec* CodecByNumber(int code_page);
// By MIME charset name ("koi8-r", "windows-1251", ...), case-insensitive; nullptr if unknown.
const TextCodec* CodecByName(std::string_view charset);

// The MIME charset name of a Windows code page ("windows-1251", "koi8-r", ...); "" for one
// without a name a browser or mail program knows.
std::string CharsetName(int code_page);

// The system's ANSI code page. The Windows start-up installs the real one (SetSystemCodec
// in base/process.h); until then (and in the native build unless a test sets one) it is
// Windows-1252.
const TextCodec& SystemCodec();

// UTF-16 as the system's wide functions take it; invalid input becomes U+FFFD.
std::u16string Utf16FromUtf8(std::string_view utf8);
std::string Utf8FromUtf16(std::u16string_view utf16);

// UTF-8 helpers. Invalid sequences read as U+FFFD, one per bad byte run.
void AppendUtf8(std::string& out, char32_t c);
char32_t NextCodePoint(std::string_view s, size_t& pos);
std::string SanitizeUtf8(std::string_view s);
size_t CountChars(std::string_view utf8);
// The longest prefix of at most max_chars characters; never cuts inside one.
std::string_view CutChars(std::string_view utf8, size_t max_chars);

// The value of a hexadecimal digit (either case), or -1.
int HexDigitValue(char c);

// Case folding for names matched without regard to case: Latin and Cyrillic letters.
char32_t FoldCase(char32_t c);
std::string FoldCase(std::string_view utf8);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace qp
