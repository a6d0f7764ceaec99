// The system's DNS servers.
#include "delivery/dns_servers_win.h"

#include <memory>
#include <stdexcept>

#include "ui/module_win.h"
#include "ui/text_win.h"

namespace qp {
namespace {

std::string SystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                 reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = text ? ui::Narrow(text) : "System Error. Code: " + std::to_string(code);
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) message.pop_back();
  return message;
}

}  // namespace

std::vector<std::string> SystemDnsServers(const NetworkParamsFunction& get_network_params) {
  NetworkParamsFunction get = get_network_params;
  if (!get) {
    // iphlpapi only when the button is pressed: no start pays for it.
    auto* system = ui::SystemFunction<DWORD WINAPI(FIXED_INFO*, ULONG*)>(L"iphlpapi.dll", "GetNetworkParams");
    if (!system) throw std::runtime_error(SystemMessage(ERROR_PROC_NOT_FOUND));
    get = [system](FIXED_INFO* info, ULONG* size) { return system(info, size); };
  }
  ULONG size = 1024;
  std::unique_ptr<unsigned char[]> buffer;
  DWORD result = ERROR_BUFFER_OVERFLOW;
  for (int attempt = 0; attempt < 4 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
    buffer = std::make_unique<unsigned char[]>(size);
    result = get(reinterpret_cast<FIXED_INFO*>(buffer.get()), &size);
  }
  if (result != ERROR_SUCCESS) throw std::runtime_error(SystemMessage(result));
  std::vector<std::string> servers;
  for (const IP_ADDR_STRING* entry = &reinterpret_cast<FIXED_INFO*>(buffer.get())->DnsServerList; entry; entry = entry->Next) {
    const std::string address(entry->IpAddress.String, strnlen(entry->IpAddress.String, sizeof entry->IpAddress.String));
    if (!address.empty()) servers.push_back(address);
  }
  return servers;
}

void FillDnsServerList(HWND combo, const NetworkParamsFunction& get_network_params) {
  ui::SetComboItems(combo, {});  // a failure below leaves the list empty
  const std::vector<std::string> servers = SystemDnsServers(get_network_params);
  ui::SetComboItems(combo, servers);
  ui::SetText(combo, servers.empty() ? "" : servers.front());
}

}  // namespace qp
