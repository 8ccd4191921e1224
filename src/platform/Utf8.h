#pragma once

#include <string>
#include <string_view>

namespace tessary {

// The text with every byte sequence that is not UTF-8 replaced by U+FFFD: one replacement per
// maximal ill-formed part (a lone continuation byte, a lead byte cut short, an overlong form, a
// surrogate or a code point past U+10FFFF). UTF-8 text comes back unchanged.
std::string validUtf8(std::string_view text);

} // namespace tessary
