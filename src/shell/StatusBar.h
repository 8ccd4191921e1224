#pragma once

#include <array>
#include <string>
#include <string_view>

#include "shell/Signal.h"

namespace tessary {

// The two panels of the status bar: 0 names the running activity, 1 shows the progress. The
// hint (tooltip) always holds the text last given to panel 1.
class StatusBar {
public:
    static constexpr int kPanels = 2;

    // Panel text becomes " " + text; for panel 1 the hint becomes text. Other panel numbers
    // are ignored.
    void slog(std::string_view text, int panel);

    const std::string& panelText(int panel) const {
        return panels_.at(static_cast<std::size_t>(panel));
    }
    const std::string& hint() const { return hint_; }

    Signal<int> changed; // the panel whose text (and, for panel 1, the hint) changed

private:
    std::array<std::string, kPanels> panels_{" Ready", " Select or drop an EVO file to demux"};
    std::string hint_ = " Select or drop an EVO file to demux";
};

} // namespace tessary
