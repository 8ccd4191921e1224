#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/LogText.h"

namespace tessary::cli {

// The warnings of a run: each printed on stderr as it comes ("tessary-cli: warning: TEXT")
// and kept for the JSON document, where scripts find them beside the report.
class Warnings {
public:
    explicit Warnings(std::ostream& err) : err_(err) {}

    void add(const std::string& text) {
        err_ << "tessary-cli: warning: " << printable(text) << '\n';
        texts_.push_back(text);
    }
    const std::vector<std::string>& texts() const { return texts_; }

private:
    std::ostream& err_;
    std::vector<std::string> texts_;
};

} // namespace tessary::cli
