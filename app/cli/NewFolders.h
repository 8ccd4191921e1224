#pragma once

#include <string>
#include <vector>

namespace tessary::cli {

// The folders on the way to `folder` that do not exist yet, innermost first: those that
// creating it makes. None for an empty name (the source's folder).
std::vector<std::string> missingFolders(const std::string& folder);

// Takes back what creating a folder made, once the command stops before writing into it: each
// of `folders` (as missingFolders lists them) is removed when it is empty.
void removeEmptyFolders(const std::vector<std::string>& folders);

} // namespace tessary::cli
