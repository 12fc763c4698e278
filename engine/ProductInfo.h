#pragma once
// Product-wide constants: the application title and the web addresses.

namespace velmora {

inline constexpr const char* kApplicationTitle = "Velmora";
inline constexpr const char* kWebsiteAddress = "https://velmora.org/";
// The donation page lives in the web site's folder.
inline constexpr const char* kDonatePage = "donate.htm";

}  // namespace velmora
