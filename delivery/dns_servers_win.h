// The DNS servers the system itself uses, for the options dialog's automatic button: the
// user of direct delivery need not know the address.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <iphlpapi.h>

namespace qp {

// GetNetworkParams' contract: fills the buffer, or says ERROR_BUFFER_OVERFLOW and the size
// it needs.
using NetworkParamsFunction = std::function<DWORD(FIXED_INFO* info, ULONG* size)>;

// The system's DNS servers in its order; the buffer grows as the system asks (a machine
// with many adapters needs more than a kilobyte). Throws std::runtime_error with the
// system's message when the system cannot say. Without a function, iphlpapi's own.
std::vector<std::string> SystemDnsServers(const NetworkParamsFunction& get_network_params = {});

// The automatic button's work: the combo box holds those servers and shows the first.
void FillDnsServerList(HWND combo, const NetworkParamsFunction& get_network_params = {});

}  // namespace qp
