#pragma once

#include <string>
#include <vector>

namespace tessary {

// Creates a new folder named `name`, or `name.1`, `name.2`, ... when something already holds
// the name (a folder of the user's, a file, a link to elsewhere): the folder returned is
// always one this call made, so a run may remove what it puts there. Raises FileError
// "Cannot create folder ...".
std::string createNewFolder(const std::string& name);

// Removes `files` from a folder made by `createNewFolder` (those already gone are passed
// over), then the folder when nothing else is left in it. True when the folder is gone.
bool removeNewFolder(const std::string& folder, const std::vector<std::string>& files);

} // namespace tessary
