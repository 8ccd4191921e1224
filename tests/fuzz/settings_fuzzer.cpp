// Fuzz target: loading the settings from a store whose values come from the input, then saving
// them. A value of the wrong type raises SettingsError and nothing else may go wrong; what is
// saved must load again without an error and save the same values.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <variant>

#include "MemorySettingsStore.h"
#include "platform/SettingsStore.h"
#include "platform/Ui.h"
#include "shell/Main.h"
#include "shell/Settings.h"

namespace {

using namespace tessary;

using Store = tessary::test::MemorySettingsStore;

class NoUi : public Ui {
public:
    bool confirm(const std::string&) override { return false; }
    void showError(const std::string&) override {}
};

class FixedClock : public Clock {
public:
    double nowDays() override { return 46000.0; }
};

// The stored names, and one that no setting has.
constexpr const char* kNames[] = {
    "Width",       "Height",    "Top",         "Left",    "WindowState", "TreeWidth",
    "AudioExt",    "VideoExt",  "SubExt",      "Workdir", "EVOdir",      "XPLdir",
    "Continue",    "FastCheck", "CountFrames", "Details", "AutoRead",    "AutoDemux",
    "AutoRebuild", "AutoClear", "FastSize",    "ADV_PCK", "LpcmAsWav",   "Unknown"};

// Entries one after the other: a byte naming the value (bit 7: a string), then four bytes of
// integer or a length byte and the string's bytes.
Store storeOf(const uint8_t* data, std::size_t size) {
    Store store;
    std::size_t at = 0;
    while (at < size) {
        const uint8_t head = data[at++];
        const std::string name = kNames[(head & 0x7F) % std::size(kNames)];
        if (head & 0x80) {
            const std::size_t length = at < size ? data[at++] : 0;
            const std::size_t n = length < size - at ? length : size - at;
            store.values.insert_or_assign(name,
                                          std::string(reinterpret_cast<const char*>(data + at), n));
            at += n;
        } else {
            uint32_t value = 0;
            for (int i = 0; i < 4 && at < size; ++i)
                value = value << 8 | data[at++];
            store.values.insert_or_assign(name, static_cast<int32_t>(value));
        }
    }
    return store;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    NoUi ui;
    FixedClock clock;
    Store loaded = storeOf(data, size);
    Store saved, savedAgain;
    {
        TfMain main(ui, clock);
        main.setSettingsStore(&loaded);
        try {
            main.RegRead();
        } catch (const SettingsError&) {
        }
        main.setSettingsStore(&saved);
        main.RegWrite();
    }
    {
        TfMain main(ui, clock);
        main.setSettingsStore(&saved);
        main.RegRead();
        main.setSettingsStore(&savedAgain);
        main.RegWrite();
    }
    if (savedAgain.values != saved.values) __builtin_trap();
    return 0;
}
