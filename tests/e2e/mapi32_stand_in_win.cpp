// Test stand-in for a mail program's Simple MAPI, loaded from the program folder: appends
// every call and its arguments to "mapi-calls.txt" beside itself, and answers as the words
// in "mapi-mode.txt" there say: "refuse-send" (MAPISendMail fails with 2), "refuse-logon"
// (a logon without the dialog flag fails with 3), "unknown" (a name resolves only through
// the dialog). Built once more without MAPIAddress, as a library that lacks a function.
#include <windows.h>
#include <mapi.h>

#include <string>

namespace {

std::string Beside(const char* name) {
  char path[MAX_PATH] = {};
  HMODULE self = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&Beside), &self);
  GetModuleFileNameA(self, path, MAX_PATH);
  std::string file(path);
  return file.substr(0, file.find_last_of('\\') + 1) + name;
}

bool Mode(const char* word) {
  HANDLE in = CreateFileA(Beside("mapi-mode.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (in == INVALID_HANDLE_VALUE) return false;
  char text[256] = {};
  DWORD got = 0;
  ReadFile(in, text, sizeof text - 1, &got, nullptr);
  CloseHandle(in);
  return std::string(text).find(word) != std::string::npos;
}

// Line breaks written as \r and \n, so that one call stays one line.
std::string Escaped(const char* text) {
  std::string out;
  for (const char* c = text ? text : ""; *c; ++c)
    out += *c == '\r' ? std::string("\\r") : *c == '\n' ? std::string("\\n") : std::string(1, *c);
  return out;
}

void Record(const std::string& line) {
  HANDLE out = CreateFileA(Beside("mapi-calls.txt").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  const std::string text = line + "\r\n";
  DWORD written = 0;
  WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(out);
}

MapiRecipDesc g_resolved{};
char g_name[256], g_address[256];

}  // namespace

extern "C" {

__declspec(dllexport) ULONG WINAPI MAPILogon(ULONG_PTR, LPSTR profile, LPSTR password, FLAGS flags, ULONG, LPLHANDLE session) {
  Record("MAPILogon " + Escaped(profile) + "/" + Escaped(password) + " " + std::to_string(flags));
  if (Mode("refuse-logon") && !(flags & MAPI_LOGON_UI)) return MAPI_E_LOGIN_FAILURE;
  *session = 7;
  return SUCCESS_SUCCESS;
}

__declspec(dllexport) ULONG WINAPI MAPILogoff(LHANDLE session, ULONG_PTR, FLAGS, ULONG) {
  Record("MAPILogoff " + std::to_string(session));
  return SUCCESS_SUCCESS;
}

__declspec(dllexport) ULONG WINAPI MAPIResolveName(LHANDLE, ULONG_PTR, LPSTR name, FLAGS flags, ULONG, lpMapiRecipDesc* found) {
  Record("MAPIResolveName " + Escaped(name) + " " + std::to_string(flags));
  if (Mode("unknown") && !(flags & MAPI_DIALOG)) return MAPI_E_UNKNOWN_RECIPIENT;
  lstrcpynA(g_name, name, sizeof g_name);
  lstrcpynA(g_address, ("SMTP:" + std::string(name)).c_str(), sizeof g_address);
  g_resolved = MapiRecipDesc{};
  g_resolved.ulRecipClass = MAPI_TO;
  g_resolved.lpszName = g_name;
  g_resolved.lpszAddress = g_address;
  *found = &g_resolved;
  return SUCCESS_SUCCESS;
}

__declspec(dllexport) ULONG WINAPI MAPIFreeBuffer(LPVOID) { return SUCCESS_SUCCESS; }

__declspec(dllexport) ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR, lpMapiMessage message, FLAGS flags, ULONG) {
  std::string line = "MAPISendMail " + std::to_string(session) + " " + std::to_string(flags) + " subject=" + Escaped(message->lpszSubject);
  for (ULONG i = 0; i < message->nRecipCount; ++i) line += " to=" + Escaped(message->lpRecips[i].lpszAddress);
  Record(line + " text=" + Escaped(message->lpszNoteText));
  return Mode("refuse-send") ? MAPI_E_FAILURE : SUCCESS_SUCCESS;
}

__declspec(dllexport) ULONG WINAPI MAPISaveMail(LHANDLE, ULONG_PTR, lpMapiMessage, FLAGS, ULONG, LPSTR) { return SUCCESS_SUCCESS; }
__declspec(dllexport) ULONG WINAPI MAPIFindNext(LHANDLE, ULONG_PTR, LPSTR, LPSTR, FLAGS, ULONG, LPSTR) { return MAPI_E_NO_MESSAGES; }
__declspec(dllexport) ULONG WINAPI MAPIReadMail(LHANDLE, ULONG_PTR, LPSTR, FLAGS, ULONG, lpMapiMessage*) { return MAPI_E_FAILURE; }
__declspec(dllexport) ULONG WINAPI MAPIDeleteMail(LHANDLE, ULONG_PTR, LPSTR, FLAGS, ULONG) { return MAPI_E_FAILURE; }
#ifndef QP_WITHOUT_ADDRESS
__declspec(dllexport) ULONG WINAPI
    MAPIAddress(LHANDLE, ULONG_PTR, LPSTR, ULONG, LPSTR, ULONG, lpMapiRecipDesc, FLAGS, ULONG, LPULONG, lpMapiRecipDesc*) {
  return MAPI_E_FAILURE;
}
#endif

}  // extern "C"
