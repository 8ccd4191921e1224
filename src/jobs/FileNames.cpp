#include "jobs/FileNames.h"

#include <filesystem>
#include <system_error>

#include "platform/Paths.h"

namespace tessary {

std::string CutExt(std::string_view name) {
    const std::size_t extension = extensionPart(name).size();
    return std::string(name.substr(0, name.size() - extension));
}

std::string getsecond(std::string_view path) {
    const std::string folder = folderPart(path);
    std::string name = namePart(path);

    if (const auto at = name.find("_1"); at != std::string::npos) {
        name[at + 1] = '2';
    } else if (const auto at0 = name.find("0_"); at0 != std::string::npos) {
        name[at0] = '1';
    } else {
        return {};
    }

    // Anything of that name continues the feature: one that is no file (a folder, a link to
    // nothing) is refused when it is opened, rather than the feature ending silently short.
    std::string candidate = folder + name;
    std::error_code error;
    return std::filesystem::symlink_status(candidate, error).type() ==
                   std::filesystem::file_type::not_found
               ? std::string()
               : candidate;
}

} // namespace tessary
