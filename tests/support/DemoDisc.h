#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Fakes.h"
#include "shell/Main.h"

namespace tessary::test {

// The demo disc of samples/.
inline std::filesystem::path demoDisc() {
    return std::filesystem::path(TESSARY_SOURCE_DIR) / "samples";
}

// A Read of the demo disc's FEATURE_1.EVO (continuing onto FEATURE_2.EVO) through the window
// model, as a user starts it, with the log's lines as plain text.
struct DemoDiscRead {
    FakeUi ui;
    FakeClock clock;
    TfMain main{ui, clock};
    std::vector<std::string> lines;
};

inline std::unique_ptr<DemoDiscRead> readDemoDisc() {
    auto read = std::make_unique<DemoDiscRead>();
    TfMain& main = read->main;
    main.Resetcbs();
    main.eEVOfile.setText((demoDisc() / "HVDVD_TS" / "FEATURE_1.EVO").string());
    main.EVOadj();
    main.bReadEVOClick();
    for (const auto& line : main.reMessage.lines())
        read->lines.push_back(line.plainText());
    return read;
}

} // namespace tessary::test
