// The DDE grab, as an asynchronous transaction so the window answers while the browser
// takes its time.
#include "capture/dde_grab_win.h"

#include <windows.h>
#include <ddeml.h>

#include "base/text_codec.h"
#include "ui/text_win.h"

namespace qp {
namespace {

// The transaction under way: DDEML hands its result to the instance's callback.
struct Grab {
  DWORD id = 0;
  bool done = false;
  std::string reply;
};
Grab* g_grab = nullptr;  // one grab at a time, on the window's thread

HDDEDATA CALLBACK Callback(UINT type, UINT, HCONV, HSZ, HSZ, HDDEDATA data, ULONG_PTR id, ULONG_PTR) {
  if (type == XTYP_XACT_COMPLETE && g_grab && id == g_grab->id) {
    g_grab->done = true;
    if (data) {
      const DWORD size = DdeGetData(data, nullptr, 0, 0);
      std::string bytes(size, '\0');
      DdeGetData(data, reinterpret_cast<LPBYTE>(bytes.data()), size, 0);
      bytes.resize(strnlen(bytes.data(), bytes.size()));
      g_grab->reply = SystemCodec().Decode(bytes);
    }
  }
  return nullptr;
}

}  // namespace

std::string RequestWindowInfo(const std::string& service, int timeout_ms, const std::function<bool()>& idle) {
  if (g_grab) return {};  // one is under way already
  DWORD instance = 0;
  if (DdeInitializeW(&instance, Callback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return {};
  const std::wstring wide_service = ui::Widen(service);
  HSZ service_name = DdeCreateStringHandleW(instance, wide_service.c_str(), CP_WINUNICODE);
  HSZ topic = DdeCreateStringHandleW(instance, L"WWW_GetWindowInfo", CP_WINUNICODE);
  HSZ item = DdeCreateStringHandleW(instance, L"0xFFFFFFFF", CP_WINUNICODE);
  Grab grab;
  if (HCONV conversation = DdeConnect(instance, service_name, topic, nullptr)) {
    g_grab = &grab;
    if (DdeClientTransaction(nullptr, 0, conversation, item, CF_TEXT, XTYP_REQUEST, TIMEOUT_ASYNC, &grab.id)) {
      const DWORD start = GetTickCount();
      // The window's messages run meanwhile, and with them DDEML's own.
      while (!grab.done && static_cast<int>(GetTickCount() - start) < timeout_ms) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        if (idle) {
          if (!idle()) break;
        } else {
          MSG msg;
          while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
      }
      if (!grab.done) DdeAbandonTransaction(instance, conversation, grab.id);
    }
    g_grab = nullptr;
    DdeDisconnect(conversation);
  }
  DdeFreeStringHandle(instance, item);
  DdeFreeStringHandle(instance, topic);
  DdeFreeStringHandle(instance, service_name);
  DdeUninitialize(instance);
  return grab.reply;
}

}  // namespace qp
