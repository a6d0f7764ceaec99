// Text codecs: UTF-8 helpers and the single-byte code pages the program's files and letters use.
#include "base/text_codec.h"

#include <algorithm>
#include <vector>

#include "base/process.h"

namespace qp {
namespace {

// Upper halves (bytes 0x80..0xFF). Bytes a code page leaves undefined map to the
// C1 control of the same number, as Windows does, so every byte survives a round trip.
constexpr char16_t kCp1251[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

constexpr char16_t kCp1252[128] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7, 0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7, 0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7, 0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,
};

constexpr char16_t kKoi8r[128] = {
    0x2500, 0x2502, 0x250C, 0x2510, 0x2514, 0x2518, 0x251C, 0x2524, 0x252C, 0x2534, 0x253C, 0x2580, 0x2584, 0x2588, 0x258C, 0x2590,
    0x2591, 0x2592, 0x2593, 0x2320, 0x25A0, 0x2219, 0x221A, 0x2248, 0x2264, 0x2265, 0x00A0, 0x2321, 0x00B0, 0x00B2, 0x00B7, 0x00F7,
    0x2550, 0x2551, 0x2552, 0x0451, 0x2553, 0x2554, 0x2555, 0x2556, 0x2557, 0x2558, 0x2559, 0x255A, 0x255B, 0x255C, 0x255D, 0x255E,
    0x255F, 0x2560, 0x2561, 0x0401, 0x2562, 0x2563, 0x2564, 0x2565, 0x2566, 0x2567, 0x2568, 0x2569, 0x256A, 0x256B, 0x256C, 0x00A9,
    0x044E, 0x0430, 0x0431, 0x0446, 0x0434, 0x0435, 0x0444, 0x0433, 0x0445, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E,
    0x043F, 0x044F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0436, 0x0432, 0x044C, 0x044B, 0x0437, 0x0448, 0x044D, 0x0449, 0x0447, 0x044A,
    0x042E, 0x0410, 0x0411, 0x0426, 0x0414, 0x0415, 0x0424, 0x0413, 0x0425, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E,
    0x041F, 0x042F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0416, 0x0412, 0x042C, 0x042B, 0x0417, 0x0428, 0x042D, 0x0429, 0x0427, 0x042A,
};

class SingleByteCodec final : public TextCodec {
 public:
  SingleByteCodec(int number, const char16_t* high) : number_(number), high_(high) {
    for (int i = 0; i < 128; ++i) reverse_.push_back({high_[i], static_cast<unsigned char>(0x80 + i)});
    std::sort(reverse_.begin(), reverse_.end());
  }
  int Number() const override { return number_; }
  std::string Decode(std::string_view bytes) const override {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char b : bytes) AppendUtf8(out, b < 0x80 ? b : high_[b - 0x80]);
    return out;
  }
  std::string Encode(std::string_view utf8) const override {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
      char32_t c = NextCodePoint(utf8, pos);
      if (c < 0x80) {
        out.push_back(static_cast<char>(c));
        continue;
      }
      auto it = std::lower_bound(reverse_.begin(), reverse_.end(), std::pair<char16_t, unsigned char>{static_cast<char16_t>(c), 0});
      out.push_back(c <= 0xFFFF && it != reverse_.end() && it->first == c ? static_cast<char>(it->second) : '?');
    }
    return out;
  }

 private:
  int number_;
  const char16_t* high_;
  std::vector<std::pair<char16_t, unsigned char>> reverse_;
};

class Utf8Codec final : public TextCodec {
 public:
  int Number() const override { return kCodePageUtf8; }
  std::string Decode(std::string_view bytes) const override { return SanitizeUtf8(bytes); }
  std::string Encode(std::string_view utf8) const override { return SanitizeUtf8(utf8); }
};

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

char32_t NextCodePoint(std::string_view s, size_t& pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  unsigned char lead = byte(pos++);
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF0 && lead <= 0xF4 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : -1;
  if (extra < 0 || lead > 0xF4) return 0xFFFD;
  char32_t c = lead & (0x3F >> extra);
  for (int i = 0; i < extra; ++i) {
    if (pos >= s.size() || (byte(pos) & 0xC0) != 0x80) return 0xFFFD;  // the stray byte starts the next one
    c = (c << 6) | (byte(pos++) & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0xFFFD;
  return c;
}

std::string SanitizeUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  size_t pos = 0;
  while (pos < s.size()) AppendUtf8(out, NextCodePoint(s, pos));
  return out;
}

size_t CountChars(std::string_view utf8) {
  return static_cast<size_t>(
      std::count_if(utf8.begin(), utf8.end(), [](char ch) { return (static_cast<unsigned char>(ch) & 0xC0) != 0x80; }));
}

std::string_view CutChars(std::string_view utf8, size_t max_chars) {
  size_t chars = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80 && chars++ == max_chars) return utf8.substr(0, i);
  }
  return utf8;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char32_t FoldCase(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;  // Latin-1 capitals
  if (c >= 0x0410 && c <= 0x042F) return c + 32;           // А..Я
  if (c >= 0x0400 && c <= 0x040F) return c + 80;           // Ѐ..Џ (Ё, Є, І, Ї, Ў ...)
  if (c == 0x0490) return 0x0491;                          // Ґ
  return c;
}

std::string FoldCase(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t pos = 0;
  while (pos < utf8.size()) AppendUtf8(out, FoldCase(NextCodePoint(utf8, pos)));
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (FoldCase(NextCodePoint(a, i)) != FoldCase(NextCodePoint(b, j))) return false;
  }
  return i == a.size() && j == b.size();
}

const TextCodec* CodecByNumber(int code_page) {
  static const SingleByteCodec cp1251(1251, kCp1251), cp1252(1252, kCp1252), koi8r(kCodePageKoi8r, kKoi8r);
  static const Utf8Codec utf8;
  switch (code_page) {
    case 1251: return &cp1251;
    case 1252: return &cp1252;
    case kCodePageKoi8r: return &koi8r;
    case kCodePageUtf8: return &utf8;
    default: return nullptr;
  }
}

const TextCodec* CodecByName(std::string_view charset) {
  std::string name = FoldCase(charset);
  if (name == "windows-1251" || name == "cp1251") return CodecByNumber(1251);
  if (name == "windows-1252" || name == "cp1252" || name == "iso-8859-1" || name == "us-ascii") return CodecByNumber(1252);
  if (name == "koi8-r") return CodecByNumber(kCodePageKoi8r);
  if (name == "utf-8") return CodecByNumber(kCodePageUtf8);
  return nullptr;
}

std::string CharsetName(int code_page) {
  if (code_page == 874 || (code_page >= 1250 && code_page <= 1258)) return "windows-" + std::to_string(code_page);
  if (code_page >= 28591 && code_page <= 28599) return "iso-8859-" + std::to_string(code_page - 28590);
  switch (code_page) {
    case 866: return "ibm866";
    case 932: return "shift_jis";
    case 936: return "gbk";
    case 949: return "euc-kr";
    case 950: return "big5";
    case kCodePageKoi8r: return "koi8-r";
    case 21866: return "koi8-u";
    case 28605: return "iso-8859-15";
    case kCodePageUtf8: return "utf-8";
    default: return "";
  }
}

const TextCodec& SystemCodec() {
  const TextCodec* installed = Process().codec;
  return installed ? *installed : *CodecByNumber(1252);
}

std::u16string Utf16FromUtf8(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const char32_t c = NextCodePoint(utf8, pos);
    if (c < 0x10000) {
      out.push_back(static_cast<char16_t>(c));
    } else {
      out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    }
  }
  return out;
}

std::string Utf8FromUtf16(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t c = utf16[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (utf16[++i] - 0xDC00);
    }
    AppendUtf8(out, c);  // a lone surrogate becomes U+FFFD
  }
  return out;
}

}  // namespace qp
