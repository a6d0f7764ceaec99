// The system's DNS servers into the options dialog's combo box.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>

#include "delivery/dns_servers_win.h"
#include "ui/text_win.h"

namespace qp {
namespace {

// A machine with many adapters: the answer needs 4 KiB and names three servers.
DWORD ManyAdapters(FIXED_INFO* info, ULONG* size, int& calls) {
  ++calls;
  constexpr ULONG kNeeded = 4096;
  if (*size < kNeeded) {
    *size = kNeeded;
    return ERROR_BUFFER_OVERFLOW;
  }
  std::memset(info, 0, kNeeded);
  auto* more = reinterpret_cast<IP_ADDR_STRING*>(reinterpret_cast<unsigned char*>(info) + 2048);
  std::strcpy(info->DnsServerList.IpAddress.String, "10.0.0.53");
  info->DnsServerList.Next = &more[0];
  std::strcpy(more[0].IpAddress.String, "192.168.1.1");
  more[0].Next = &more[1];
  std::strcpy(more[1].IpAddress.String, "255.255.255.255");  // sixteen bytes with its end
  return ERROR_SUCCESS;
}

TEST(DnsServers, TheBufferGrowsAndTheComboShowsTheFirstServer) {
  int calls = 0;
  HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", CBS_DROPDOWN, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"old"));
  FillDnsServerList(combo, [&](FIXED_INFO* info, ULONG* size) { return ManyAdapters(info, size, calls); });
  EXPECT_EQ(calls, 2);
  ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
  wchar_t item[32] = {};
  SendMessageW(combo, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(item));
  EXPECT_STREQ(item, L"255.255.255.255");
  wchar_t text[32] = {};
  GetWindowTextW(combo, text, 32);
  EXPECT_STREQ(text, L"10.0.0.53");
  DestroyWindow(combo);
}

TEST(DnsServers, ASystemThatCannotSayGivesItsErrorMessage) {
  try {
    SystemDnsServers([](FIXED_INFO*, ULONG*) { return static_cast<DWORD>(ERROR_NOT_SUPPORTED); });
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_FALSE(std::string(e.what()).empty());
  }
}

}  // namespace
}  // namespace qp
