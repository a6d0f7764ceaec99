// The DDE grab: asks a running browser for the address of its current page.
#pragma once

#include <functional>
#include <string>

namespace qp {

// The reply of `service` to the topic "WWW_GetWindowInfo", item "0xFFFFFFFF" (CF_TEXT, in
// the code page), or "" when no browser answered within the time-out. The wait runs
// `idle` between short slices (the window's messages); false from it gives up at once.
std::string RequestWindowInfo(const std::string& service, int timeout_ms, const std::function<bool()>& idle);

}  // namespace qp
