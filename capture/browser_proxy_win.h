// The browser's proxy setting in the current user's registry: saved at start, pointed at
// the local proxy, put back.
#pragma once

#include <windows.h>

#include <string>

namespace qp {

struct BrowserProxy {
  std::string server;  // "ProxyServer", at most 255 characters
  bool enabled = false;
};

// What the registry holds now; missing values read as empty and off.
BrowserProxy ReadBrowserProxy();
// "ProxyServer" = "127.0.0.1:" + port, "ProxyEnable" = 1. false when a write failed.
bool PointBrowserAtProxy(const std::string& port_text);
// Writes the saved values back. false when a write failed.
bool RestoreBrowserProxy(const BrowserProxy& saved);
// "ProxyEnable" = 0 only, the server text stays. false when the write failed.
bool DisableBrowserProxy();

// Tells how a registry change with messages went: "IEOK" or "RegError" in a box.
void ReportRegistryWrite(HWND owner, bool written);

// The options page's two buttons: change the registry at once and say how it went
// ("IEOK"/"RegError"); proxy mode, its socket and the values saved at start stay as they are.
void bbSetIEClick(HWND owner, const std::string& port_text);
void bbProxyDisableClick(HWND owner);

}  // namespace qp
