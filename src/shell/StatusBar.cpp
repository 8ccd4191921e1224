#include "shell/StatusBar.h"

namespace tessary {

void StatusBar::slog(std::string_view text, int panel) {
    if (panel < 0 || panel >= kPanels) return;
    std::string& shown = panels_[static_cast<std::size_t>(panel)];
    shown.assign(1, ' ');
    shown.append(text);
    if (panel == 1) hint_ = std::string(text);
    changed.emit(panel);
}

} // namespace tessary
