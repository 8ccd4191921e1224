#pragma once

#include <stdexcept>
#include <string>

namespace tessary {

// A file-system failure. The message is the run-time library's text, shown to the user as is:
// "Cannot open file \"NAME\". REASON", "Cannot create file \"NAME\". REASON",
// "Stream read error", "Stream write error".
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace tessary
