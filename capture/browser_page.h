// Which browser to ask for the address of its current page, and what to take from its
// answer (the DDE topic "WWW_GetWindowInfo" of the browsers that speak it).
#pragma once

#include <string>
#include <string_view>

namespace qp {

// The DDE service of the "browser" setting: "Internet Explorer" → "iexplore", "Netscape
// Navigator" → "netscape", anything else as it stands.
std::string BrowserDdeService(std::string_view browser);

// The text between the first double quote of the answer and the next one, looked for in
// the 255 characters after the first; "" when there is none.
std::string AddressFromWindowInfo(std::string_view reply);

}  // namespace qp
