// The local proxy's listening socket: events arrive as window messages on the
// user-interface thread, one client at a time.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <functional>
#include <map>
#include <string>

namespace qp {

class ProxyServer {
 public:
  // Socket events are posted to window as message; the window hands them to OnEvent.
  ProxyServer(HWND window, UINT message);
  ~ProxyServer();

  // Listens on the loopback address only: the browser asks 127.0.0.1, and nobody else on
  // the network may fill the request line or send letters through it.
  bool Listen(int port);
  void Stop();
  bool Active() const { return listener_ != INVALID_SOCKET; }

  // answer: the reply bytes for a request's address.
  void OnEvent(WPARAM socket, LPARAM event, const std::function<std::string(const std::string&)>& answer);
  // Called about once a second: closes clients that said nothing for a while.
  void CloseIdle();

  static constexpr int kMaxClients = 64;
  static constexpr DWORD kIdleMs = 5000;
  // However it trickles, a request has this long from the connection on: a client that
  // sends a byte now and then must not hold a place for hours.
  static constexpr DWORD kDeadlineMs = 10000;

 private:
  struct Client {
    std::string data;
    DWORD since = 0;    // the last bytes came
    DWORD started = 0;  // the connection came
  };
  void Drop(SOCKET s);

  HWND window_;
  UINT message_;
  SOCKET listener_ = INVALID_SOCKET;
  std::map<SOCKET, Client> clients_;
  bool started_ = false;
};

}  // namespace qp
