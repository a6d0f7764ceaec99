// Proxy mode: the browser pointed at the local proxy and the proxy listening on its port.
// Switched on and off with the user's consent, restored at start, and at exit the browser
// gets back the setting it had when the program started.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "base/ini_file.h"
#include "capture/browser_proxy_win.h"
#include "capture/proxy_server_win.h"

namespace qp {

class ProxyMode {
 public:
  // window: owns the boxes and gets the proxy's socket events as `event` and its idle
  // check as the timer `timer`. captured: an address a browser asked for. shown: the
  // state to show (the menu ticks).
  ProxyMode(HWND window, UINT event, UINT_PTR timer, SettingsFile& settings, std::function<void(const std::string&)> captured,
            std::function<void(bool on)> shown);
  ~ProxyMode();

  bool On() const { return on_; }
  // The menu command: asks, then switches to the other state.
  void Toggle();
  // The first activation: remembers the browser's own setting, and switches on without
  // asking when the stored switch says so. A browser still pointed here (the program ended
  // without putting it back: a crash, a kill) has its own setting in "settings.ini",
  // kept there when proxy mode last switched on.
  void RestoreAtStart(bool stored_on);
  // At exit, first of all: the browser gets its own setting back. Then the port closes.
  void RestoreBrowserAtExit();
  void Stop();
  // The socket events and the idle timer; true when the message was one of them.
  bool HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam);

 private:
  // The browser pointed here (asking first when ask is true), listening.
  bool SwitchOn(bool ask);
  void SwitchOff(bool ask);
  void Show(bool on);
  // The browser's own setting kept in "settings.ini", so that it survives a crash.
  void KeepUsersSetting(bool write_now);

  HWND window_;
  UINT event_;
  UINT_PTR timer_;
  SettingsFile& settings_;
  std::function<void(const std::string&)> captured_;
  std::function<void(bool)> shown_;
  std::unique_ptr<ProxyServer> server_;
  BrowserProxy saved_;  // as the browser had it at start
  bool on_ = false;
  bool left_pointing_ = false;  // pointed here, but the port could not be opened
};

}  // namespace qp
