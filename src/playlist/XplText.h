#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tessary {

// A number in a playlist that does not convert: "'TEXT' is not a valid integer value".
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const std::string& text)
        : std::runtime_error("'" + text + "' is not a valid integer value") {}
};

// The value of attribute `name` in a tag line: the first occurrence of the name, compared
// without case and found anywhere in the line (also inside a longer name or another value);
// of the (at most 255) characters behind it, what follows the first "=" and then the first
// double quote, up to the next double quote (empty when none follows). nullopt when the name
// does not occur: the caller's target then keeps its earlier value.
std::optional<std::string> GetAttr(std::string_view line, std::string_view name);

// The value as an integer; 0 when there is none or it is not a decimal number.
int GetAttrInt(std::string_view line, std::string_view name);

// The number in decimal, with "0"s in front up to `width` characters.
std::string ZeroPad(int number, int width);

// A decimal integer with an optional sign (leading blanks allowed), or a hexadecimal one
// written "$1F" or "0x1F"; nullopt for anything else.
std::optional<int> toInteger(std::string_view text);

// The same, raising ConversionError for anything else.
int integerOrThrow(std::string_view text);

// ASCII upper case of a line (bytes of 128 and more pass unchanged).
std::string upperLine(std::string_view text);

} // namespace tessary
