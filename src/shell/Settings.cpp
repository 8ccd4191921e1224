// Loading and saving the settings: the options of the "Options" tab, the window's placement,
// the playlist tree's width and the last folders, as named values of the settings store.
#include "shell/Settings.h"

#include <algorithm>
#include <array>
#include <optional>
#include <variant>

#include "shell/Main.h"

namespace tessary {

namespace {

// What a value belongs to. Loading any but an option tells the face to apply the placement; a
// maximised close skips the position and size.
enum class Part { State, Position, Size, Layout, Option };

// Where a value lives. Its stored type follows: integers and integer fields as integers, boxes
// as integers 1 and 0, strings and text fields as strings, a choice as the index of its item.
using Target = std::variant<int*, CheckBox*, IntField*, std::string*, TextField*, Choice*>;

// One stored value. `fit` brings a loaded integer into the window's limits; `then` runs after
// loading, whether the value was stored or not.
struct Setting {
    const char* name;
    Part part;
    Target target;
    int (*fit)(int) = nullptr;
    void (*then)(TfMain&) = nullptr;
};

// A stored width or height of 0 means the default size; any other is raised to the minimum.
int atLeast(int size, int minimum) {
    return size == 0 ? 0 : std::max(size, minimum);
}
int fitWidth(int width) {
    return atLeast(width, kMinWindowWidth);
}
int fitHeight(int height) {
    return atLeast(height, kMinWindowHeight);
}
int knownState(int state) {
    return state >= kWindowNormal && state <= kWindowMaximised ? state : kWindowNormal;
}

// The values an integer field of `maxLength` characters can show: a longer text would be cut
// to its first digits (5000 would become 500), so a stored value outside is brought to the
// nearest one that fits.
int fitField(int value, std::size_t maxLength) {
    if (maxLength == 0 || maxLength > 9) return value;
    int largest = 9;
    for (std::size_t i = 1; i < maxLength; ++i)
        largest = largest * 10 + 9;
    const int smallest = maxLength == 1 ? 0 : -(largest / 10);
    return std::clamp(value, smallest, largest);
}

// Clearing a radio button selects no other: with neither stored as true the group falls back
// to "No auto process", so that one of the three is always selected.
void selectNoAutoWhenNone(TfMain& m) {
    if (!m.rbAutoDemux.checked() && !m.rbAutoRebuild.checked()) m.rbNoAuto.setChecked(true);
}

// Every setting, in loading order. The size comes before the position and the state after
// both, so that a maximised window keeps its normal placement underneath.
auto settingsOf(TfMain& m) {
    return std::to_array<Setting>({
        {"Width", Part::Size, &m.placement.width, fitWidth},
        {"Height", Part::Size, &m.placement.height, fitHeight},
        {"Top", Part::Position, &m.placement.top},
        {"Left", Part::Position, &m.placement.left},
        {"WindowState", Part::State, &m.placement.state, knownState},
        {"TreeWidth", Part::Layout, &m.treeWidth},
        {"AudioExt", Part::Option, &m.eAudioExt},
        {"VideoExt", Part::Option, &m.eVideoExt},
        {"SubExt", Part::Option, &m.eSubExt},
        {"Workdir", Part::Option, &m.eWorkdir},
        {"EVOdir", Part::Option, &m.EVOdir},
        {"XPLdir", Part::Option, &m.XPLdir},
        {"Continue", Part::Option, &m.cbContinue},
        {"FastCheck", Part::Option, &m.cbFastCheck},
        {"CountFrames", Part::Option, &m.cbCountFr},
        {"Details", Part::Option, &m.cbDetails},
        {"AutoRead", Part::Option, &m.cbAutoRead},
        {"AutoDemux", Part::Option, &m.rbAutoDemux},
        {"AutoRebuild", Part::Option, &m.rbAutoRebuild, nullptr, selectNoAutoWhenNone},
        {"AutoClear", Part::Option, &m.cbAutoClear},
        {"FastSize", Part::Option, &m.ieFastSize},
        {"ADV_PCK", Part::Option, &m.cbRBAdvanced},
        {"MakeMkv", Part::Option, &m.cbMakeMkv},
        {"LpcmAsWav", Part::Option, &m.cbLpcmWav},
        {"ChaptersFormat", Part::Option, &m.cobChapters},
        {"CodecExt", Part::Option, &m.cbCodecExt},
    });
}

// Reads the values of one store; a value of the wrong type ends loading.
class SettingsReader {
public:
    explicit SettingsReader(SettingsStore& store) : store_(store) {}

    // False when the value is not stored.
    bool load(const Setting& setting) {
        return std::visit([&](auto* target) { return load(setting, *target); }, setting.target);
    }

private:
    bool load(const Setting& s, int& value) {
        const std::optional<int32_t> stored = integer(s.name);
        if (stored) value = s.fit != nullptr ? s.fit(*stored) : *stored;
        return stored.has_value();
    }
    // Booleans are integers; any value but 0 is true. Setting the box runs its click handler.
    bool load(const Setting& s, CheckBox& box) {
        const std::optional<int32_t> stored = integer(s.name);
        if (stored) box.setChecked(*stored != 0);
        return stored.has_value();
    }
    bool load(const Setting& s, IntField& field) {
        const std::optional<int32_t> stored = integer(s.name);
        if (stored) field.setValue(fitField(*stored, field.maxLength()));
        return stored.has_value();
    }
    bool load(const Setting& s, Choice& choice) {
        const std::optional<int32_t> stored = integer(s.name);
        if (stored) choice.setIndex(*stored);
        return stored.has_value();
    }
    bool load(const Setting& s, std::string& value) {
        std::optional<std::string> stored = string(s.name);
        if (stored) value = std::move(*stored);
        return stored.has_value();
    }
    bool load(const Setting& s, TextField& field) {
        std::optional<std::string> stored = string(s.name);
        if (stored) field.setText(std::move(*stored));
        return stored.has_value();
    }

    std::optional<int32_t> integer(const char* name) {
        int32_t stored = 0;
        if (!check(store_.readInteger(name, stored), name)) return std::nullopt;
        return stored;
    }
    std::optional<std::string> string(const char* name) {
        std::string stored;
        if (!check(store_.readString(name, stored), name)) return std::nullopt;
        return stored;
    }
    static bool check(SettingsStore::ReadStatus status, const char* name) {
        if (status == SettingsStore::ReadStatus::WrongType)
            throw SettingsError(std::string("Invalid data type for '") + name + "'");
        return status == SettingsStore::ReadStatus::Ok;
    }

    SettingsStore& store_;
};

class SettingsWriter {
public:
    explicit SettingsWriter(SettingsStore& store) : store_(store) {}

    void save(const Setting& setting) {
        std::visit([&](auto* target) { write(setting.name, *target); }, setting.target);
    }

private:
    void write(const char* name, int value) {
        if (!store_.writeInteger(name, value)) fail(name);
    }
    void write(const char* name, const std::string& value) {
        if (!store_.writeString(name, value)) fail(name);
    }
    void write(const char* name, const CheckBox& box) { write(name, box.checked() ? 1 : 0); }
    void write(const char* name, const TextField& field) { write(name, field.text()); }
    void write(const char* name, const Choice& choice) { write(name, choice.index()); }
    // The field shows the value saved: a text that is no number becomes 0.
    void write(const char* name, IntField& field) {
        const int value = field.value();
        field.setValue(value);
        write(name, value);
    }

    [[noreturn]] static void fail(const char* name) {
        throw SettingsError(std::string("Failed to set data for '") + name + "'");
    }

    SettingsStore& store_;
};

} // namespace

void TfMain::RegRead() {
    if (settings_ == nullptr || !settings_->keyExists()) return;
    SettingsReader read(*settings_);

    // The face applies what was loaded of the placement, even when a later value stops loading.
    bool placementLoaded = false;
    try {
        for (const Setting& setting : settingsOf(*this)) {
            if (read.load(setting) && setting.part != Part::Option) placementLoaded = true;
            if (setting.then != nullptr) setting.then(*this);
        }
    } catch (const SettingsError&) {
        if (placementLoaded) placementChanged.emit();
        throw;
    }
    if (placementLoaded) placementChanged.emit();
}

void TfMain::RegWrite() {
    if (settings_ == nullptr) return;
    SettingsWriter write(*settings_);

    // Part by part, each in table order. A maximised window keeps the normal placement of the
    // last close that was not maximised.
    const bool maximised = placement.state == kWindowMaximised;
    const auto settings = settingsOf(*this);
    for (Part part : {Part::State, Part::Position, Part::Size, Part::Layout, Part::Option}) {
        if (maximised && (part == Part::Position || part == Part::Size)) continue;
        for (const Setting& setting : settings)
            if (setting.part == part) write.save(setting);
    }
}

} // namespace tessary
