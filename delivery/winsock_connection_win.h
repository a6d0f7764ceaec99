// Connections over Winsock that keep the window alive while they wait.
#pragma once

#include <functional>

#include "delivery/connection.h"

namespace qp {

class WinsockConnector final : public Connector {
 public:
  // idle runs between short waits (the window's messages) and answers whether to go on
  // waiting: false abandons the wait (the user cancelled). Time-outs in milliseconds.
  WinsockConnector(std::function<bool()> idle, int connect_timeout_ms = 30000, int read_timeout_ms = 60000);
  ~WinsockConnector() override;
  std::unique_ptr<Connection> Connect(const std::string& host, int port) override;

 private:
  std::function<bool()> idle_;
  int connect_timeout_ms_, read_timeout_ms_;
  bool started_ = false;
};

}  // namespace qp
