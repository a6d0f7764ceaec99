// Simple MAPI through mapi32.
#include "delivery/mapi_library_win.h"

#include <mapi.h>

#include <memory>
#include <vector>

#include "base/text_codec.h"

namespace qp {
namespace {

enum Function { kLogon, kLogoff, kSendMail, kSaveMail, kResolveName, kFreeBuffer, kFindNext, kReadMail, kDeleteMail, kAddress };
constexpr const char* kNames[] = {"MAPILogon",      "MAPILogoff",   "MAPISendMail", "MAPISaveMail",   "MAPIResolveName",
                                  "MAPIFreeBuffer", "MAPIFindNext", "MAPIReadMail", "MAPIDeleteMail", "MAPIAddress"};

// MAPI's ANSI texts: the system code page; null for an empty one.
class AnsiTexts {
 public:
  LPSTR operator()(const std::string& utf8) {
    if (utf8.empty()) return nullptr;
    texts_.push_back(std::make_unique<std::string>(SystemCodec().Encode(utf8)));
    return texts_.back()->data();
  }

 private:
  std::vector<std::unique_ptr<std::string>> texts_;
};

bool RegistrySaysMapi() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows Messaging Subsystem", 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  char value[9] = {};
  DWORD size = sizeof value - 1, type = 0;
  const bool read = RegQueryValueExA(key, "MAPI", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS;
  RegCloseKey(key);
  return read && std::string(value) == "1";
}

}  // namespace

template <typename Function>
Function MapiLibrary::Call(int which) const {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(functions_[which]));
}

MapiLibrary::~MapiLibrary() {
  if (library_) FreeLibrary(library_);
}

bool MapiLibrary::Load() {
  if (looked_) return available_;
  looked_ = true;
  if (!RegistrySaysMapi()) {
    why_ = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows Messaging Subsystem: MAPI";
    return false;
  }
  const UINT old_mode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  library_ = LoadLibraryW(L"mapi32");
  if (!library_) library_ = LoadLibraryW(L"mapi32.dll");
  SetErrorMode(old_mode);
  if (!library_) {
    why_ = "mapi32.dll";
    return false;
  }
  for (int i = 0; i < 10; ++i) {
    functions_[i] = GetProcAddress(library_, kNames[i]);
    // One missing function makes MAPI unavailable; it does not stop the program.
    if (!functions_[i]) {
      why_ = std::string("GetProcAddress for MAPI.DLL function(s) failed: ") + kNames[i];
      FreeLibrary(library_);
      library_ = nullptr;
      return false;
    }
  }
  available_ = true;
  return true;
}

unsigned MapiLibrary::Logon(const std::string& profile, const std::string& password, unsigned flags, std::uintptr_t& session) {
  AnsiTexts ansi;
  LHANDLE handle = 0;
  const ULONG code = Call<LPMAPILOGON>(kLogon)(0, ansi(profile), ansi(password), flags, 0, &handle);
  session = code == SUCCESS_SUCCESS ? handle : 0;
  return code;
}

unsigned MapiLibrary::Logoff(std::uintptr_t session) { return Call<LPMAPILOGOFF>(kLogoff)(session, 0, 0, 0); }

SimpleMapi::Resolved MapiLibrary::ResolveName(std::uintptr_t session, const std::string& name, unsigned flags) {
  AnsiTexts ansi;
  lpMapiRecipDesc found = nullptr;
  Resolved resolved;
  resolved.code = Call<LPMAPIRESOLVENAME>(kResolveName)(session, 0, ansi(name), flags, 0, &found);
  if (resolved.code == SUCCESS_SUCCESS && found) {
    if (found->lpszName) resolved.name = SystemCodec().Decode(found->lpszName);
    if (found->lpszAddress) resolved.address = SystemCodec().Decode(found->lpszAddress);
    if (found->lpEntryID) resolved.entry_id.assign(static_cast<const char*>(found->lpEntryID), found->ulEIDSize);
  }
  if (found) Call<LPMAPIFREEBUFFER>(kFreeBuffer)(found);
  return resolved;
}

namespace {

// The published structures for one hand-over; everything they point to lives here too.
struct MessageBlock {
  AnsiTexts ansi;
  std::vector<MapiRecipDesc> recipients;
  std::vector<MapiFileDesc> files;
  std::vector<std::string> entry_ids;
  MapiMessage message{};

  explicit MessageBlock(const MapiLetter& letter) {
    entry_ids.reserve(letter.recipients.size());
    for (const MapiRecipient& r : letter.recipients) {
      entry_ids.push_back(r.entry_id);
      MapiRecipDesc d{};
      d.ulRecipClass = static_cast<ULONG>(r.recipient_class);
      d.lpszName = ansi(r.name);
      d.lpszAddress = ansi(r.address);
      d.ulEIDSize = static_cast<ULONG>(entry_ids.back().size());
      d.lpEntryID = entry_ids.back().empty() ? nullptr : entry_ids.back().data();
      recipients.push_back(d);
    }
    for (const MapiFile& f : letter.files) {
      MapiFileDesc d{};
      d.nPosition = static_cast<ULONG>(-1);
      d.lpszPathName = ansi(f.path);
      d.lpszFileName = ansi(f.display_name);
      files.push_back(d);
    }
    message.lpszSubject = ansi(letter.subject);
    message.lpszNoteText = ansi(letter.text);
    message.lpszMessageType = ansi(letter.message_type);
    message.flFlags = letter.receipt_requested ? MAPI_RECEIPT_REQUESTED : 0;
    message.nRecipCount = static_cast<ULONG>(recipients.size());
    message.lpRecips = recipients.empty() ? nullptr : recipients.data();
    message.nFileCount = static_cast<ULONG>(files.size());
    message.lpFiles = files.empty() ? nullptr : files.data();
  }
};

}  // namespace

unsigned MapiLibrary::SendMail(std::uintptr_t session, const MapiLetter& letter, unsigned flags) {
  MessageBlock block(letter);
  return Call<LPMAPISENDMAIL>(kSendMail)(session, 0, &block.message, flags, 0);
}

unsigned MapiLibrary::SaveMail(std::uintptr_t session, const MapiLetter& letter, std::string& message_id) {
  MessageBlock block(letter);
  std::string id(520, '\0');
  id.replace(0, std::min<std::size_t>(message_id.size(), 519), message_id.substr(0, 519));
  const ULONG code = Call<LPMAPISAVEMAIL>(kSaveMail)(session, 0, &block.message, 0, 0, message_id.empty() ? nullptr : id.data());
  if (code == SUCCESS_SUCCESS && !message_id.empty()) message_id = id.c_str();
  return code;
}

}  // namespace qp
