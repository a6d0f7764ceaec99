// Connections over Winsock: a name lookup that takes its time keeps the window answering
// and gives way to a cancel at once; an ordinary one connects.
#include <winsock2.h>
#include <windows.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>

#include "delivery/winsock_connection_win.h"

namespace qp {
namespace {

TEST(WinsockConnector, ASlowNameLookupKeepsTheWindowAnsweringAndACancelEndsTheWaitAtOnce) {
  auto finished = std::make_shared<std::atomic<bool>>(false);
  auto slow = [finished](const std::string&, const std::string&, addrinfo**) {
    Sleep(1500);  // a name server that takes its time
    *finished = true;
    return EAI_AGAIN;
  };
  int answered = 0;
  {
    WinsockConnector connector([&] { return ++answered < 4; }, 30000, 30000, slow);
    const auto started = std::chrono::steady_clock::now();
    try {
      connector.Connect("mail.example.org", 25);
      FAIL() << "connected without a name";
    } catch (const SocketError& e) {
      EXPECT_EQ(e.Code(), WSAEINTR);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1000));
    EXPECT_EQ(answered, 4);  // the window was asked between slices of the wait
  }
  // The abandoned lookup ends on its own, after the connector has gone.
  for (int i = 0; i < 100 && !*finished; ++i) Sleep(50);
  EXPECT_TRUE(*finished);
}

TEST(WinsockConnector, ANameConnectsThroughItsLookup) {
  WSADATA data;
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
  SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 1), 0);
  int size = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
  WinsockConnector connector([] { return true; }, 5000, 5000);
  std::unique_ptr<Connection> connection = connector.Connect("localhost", ntohs(address.sin_port));
  SOCKET peer = accept(listener, nullptr, nullptr);
  ASSERT_NE(peer, INVALID_SOCKET);
  send(peer, "220 hello\r\n", 11, 0);
  EXPECT_EQ(connection->Read(), "220 hello\r\n");
  EXPECT_FALSE(connection->EndedWhileIdle());
  closesocket(peer);
  closesocket(listener);
  WSACleanup();
}

}  // namespace
}  // namespace qp
