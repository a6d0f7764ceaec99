// Test stand-in for a browser that speaks DDE: registers the service named on its command
// line and answers "WWW_GetWindowInfo" with the address given, or, with "--silent", takes
// the request and never answers it. Once the service is registered it creates READY_FILE.
//   dde_browser SERVICE ADDRESS READY_FILE | dde_browser SERVICE --silent READY_FILE
#include <windows.h>
#include <ddeml.h>
#include <shellapi.h>

#include <string>

namespace {

DWORD g_instance = 0;
HSZ g_service = nullptr, g_topic = nullptr;
std::string g_reply;
bool g_silent = false;

HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV, HSZ topic, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  switch (type) {
    case XTYP_CONNECT: return reinterpret_cast<HDDEDATA>(DdeCmpStringHandles(topic, g_topic) == 0 ? TRUE : FALSE);
    case XTYP_REQUEST:
      if (g_silent || format != CF_TEXT) return CBR_BLOCK;  // the request waits for ever
      return DdeCreateDataHandle(g_instance, reinterpret_cast<LPBYTE>(g_reply.data()), static_cast<DWORD>(g_reply.size() + 1), 0,
                                 DdeCreateStringHandleW(g_instance, L"0xFFFFFFFF", CP_WINUNICODE), CF_TEXT, 0);
    default: return nullptr;
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (count < 4) return 2;
  const std::wstring second = args[2];
  g_silent = second == L"--silent";
  g_reply = "\"" + std::string(second.begin(), second.end()) + "\",\"A page\",\"\"";
  if (DdeInitializeW(&g_instance, Callback, APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_POKES | CBF_FAIL_EXECUTES, 0) !=
      DMLERR_NO_ERROR) {
    return 3;
  }
  g_service = DdeCreateStringHandleW(g_instance, args[1], CP_WINUNICODE);
  g_topic = DdeCreateStringHandleW(g_instance, L"WWW_GetWindowInfo", CP_WINUNICODE);
  if (!DdeNameService(g_instance, g_service, nullptr, DNS_REGISTER)) return 4;
  CloseHandle(CreateFileW(args[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
