#pragma once
#include <optional>
#include <string_view>

// The four language texts the program carries, "PL", "EN", "HU" and "DE",
// byte for byte as they stand in src/lang/texts (UTF-8 with a byte-order
// mark, CR LF line ends). The code is compared with the four, ignoring letter
// case; any other code (a hand-edited "../EN" among them) finds nothing.
std::optional<std::string_view> BuiltinLanguageText(std::string_view code);
