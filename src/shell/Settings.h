#pragma once

#include <stdexcept>
#include <string>

namespace tessary {

// A stored setting that could not be loaded or saved; the message names it:
// "Invalid data type for 'NAME'", "Failed to set data for 'NAME'".
class SettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace tessary
