#pragma once

#include <string>
#include <string_view>

namespace tessary {

// The name without its extension (the text from the last '.' that no separator follows), or
// the name unchanged when it has none. "FEATURE_1.EVO" gives "FEATURE_1", "a.b.EVO" "a.b".
std::string CutExt(std::string_view name);

// The full path of the second file of a feature that the disc splits in two, or an empty
// string. In the file name (never the folder) the first "_1" becomes "_2"; a name without "_1"
// has its first "0_" changed to "1_" (L0_ to L1_). The candidate is returned when anything
// holds its name (a folder or FIFO too, which the Read then refuses); when the "_1" rule gives a
// missing file, the "0_" rule is not tried.
std::string getsecond(std::string_view path);

} // namespace tessary
