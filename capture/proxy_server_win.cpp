// The local proxy's listening socket.
#include "capture/proxy_server_win.h"

#include <ws2tcpip.h>

#include "capture/proxy_request.h"

namespace qp {

ProxyServer::ProxyServer(HWND window, UINT message) : window_(window), message_(message) {
  WSADATA data;
  started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

ProxyServer::~ProxyServer() {
  Stop();
  if (started_) WSACleanup();
}

bool ProxyServer::Listen(int port) {
  Stop();
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  BOOL exclusive = TRUE;  // a port another program holds is "in use", not shared
  setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive), sizeof exclusive);
  if (port <= 0 || port > 65535 || bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == SOCKET_ERROR ||
      listen(s, SOMAXCONN) == SOCKET_ERROR || WSAAsyncSelect(s, window_, message_, FD_ACCEPT) == SOCKET_ERROR) {
    closesocket(s);
    return false;
  }
  listener_ = s;
  return true;
}

void ProxyServer::Stop() {
  for (auto& [s, client] : clients_) closesocket(s);
  clients_.clear();
  if (listener_ != INVALID_SOCKET) closesocket(listener_);
  listener_ = INVALID_SOCKET;
}

void ProxyServer::Drop(SOCKET s) {
  closesocket(s);
  clients_.erase(s);
}

void ProxyServer::OnEvent(WPARAM socket_handle, LPARAM event, const std::function<std::string(const std::string&)>& answer) {
  const SOCKET s = static_cast<SOCKET>(socket_handle);
  const WORD what = WSAGETSELECTEVENT(event);
  if (what == FD_ACCEPT && s == listener_) {
    SOCKET client = accept(listener_, nullptr, nullptr);
    if (client == INVALID_SOCKET) return;
    if (clients_.size() >= kMaxClients) {  // too many at once: the newest waits its turn elsewhere
      closesocket(client);
      return;
    }
    const DWORD now = GetTickCount();
    clients_[client] = Client{{}, now, now};
    WSAAsyncSelect(client, window_, message_, FD_READ | FD_CLOSE);
    return;
  }
  auto found = clients_.find(s);
  if (found == clients_.end()) return;
  if (what == FD_CLOSE) return Drop(s);
  if (what != FD_READ) return;
  char buffer[4096];
  int n = recv(s, buffer, sizeof buffer, 0);
  if (n == 0 || (n == SOCKET_ERROR && WSAGetLastError() != WSAEWOULDBLOCK)) return Drop(s);
  if (n > 0) found->second.data.append(buffer, static_cast<size_t>(std::min<size_t>(n, kProxyReadLimit)));
  found->second.since = GetTickCount();
  // A request line split over two packets is read whole; past the limit it is read as is.
  if (found->second.data.find("\r\n") == std::string::npos && found->second.data.size() < kProxyReadLimit) return;
  // Out of the table before calling out: the answer may run window messages, and with
  // them further events of this server.
  std::string request = std::move(found->second.data);
  clients_.erase(found);
  WSAAsyncSelect(s, window_, 0, 0);
  u_long blocking = 0;
  ioctlsocket(s, FIONBIO, &blocking);
  const std::string reply = answer(ProxyRequestAddress(request));
  send(s, reply.data(), static_cast<int>(reply.size()), 0);
  shutdown(s, SD_SEND);
  closesocket(s);
}

void ProxyServer::CloseIdle() {
  const DWORD now = GetTickCount();
  for (auto it = clients_.begin(); it != clients_.end();) {
    if (now - it->second.since > kIdleMs || now - it->second.started > kDeadlineMs) {
      closesocket(it->first);
      it = clients_.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace qp
