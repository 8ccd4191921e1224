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

// The smallest outer size of the main window, in pixels; a stored size below it is raised to it.
inline constexpr int kMinWindowWidth = 661;
inline constexpr int kMinWindowHeight = 375;

// WindowPlacement::state values.
inline constexpr int kWindowNormal = 0;
inline constexpr int kWindowMinimised = 1;
inline constexpr int kWindowMaximised = 2;

} // namespace tessary
