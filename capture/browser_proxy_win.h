// The browser's proxy setting in the current user's registry: saved at start, pointed at
// the local proxy, put back.
#pragma once

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

}  // namespace qp
