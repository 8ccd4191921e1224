#pragma once

#include <string>
#include <vector>

namespace tessary {

// The folders a run creates on the way to its output folder, so that a run that ends without
// writing into them can take them back.
class NewFolders {
public:
    // Creates `folder` and the folders on the way to it that are missing (nothing for an
    // empty name: the source's folder). Raises FileError "Cannot create folder ...".
    void create(const std::string& folder);
    // Removes each folder it made that is empty, innermost first, and forgets it. Returns
    // those removed.
    std::vector<std::string> removeEmpty();

private:
    std::vector<std::string> made_; // innermost first
};

} // namespace tessary
