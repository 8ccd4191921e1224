// Fuzz target: messages with arbitrary markup through the message log, one message per input
// line; every line must keep the log's form (no empty run, no two neighbours with equal
// attributes) and show no more text than the message had.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "shell/MessageLog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    tessary::MessageLog log;
    while (true) {
        const std::size_t end = input.find('\n');
        const std::string_view message = input.substr(0, end);
        log.append(message);
        const tessary::LogLine& line = log.lines().back();
        std::size_t shown = 0;
        for (std::size_t i = 0; i < line.runs.size(); ++i) {
            if (line.runs[i].text.empty()) __builtin_trap();
            if (i > 0 && line.runs[i].attributes == line.runs[i - 1].attributes) __builtin_trap();
            shown += line.runs[i].text.size();
        }
        if (shown > message.size() || line.plainText().size() != shown) __builtin_trap();
        if (end == std::string_view::npos) break;
        input.remove_prefix(end + 1);
    }
    return 0;
}
