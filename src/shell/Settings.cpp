// Loading and saving the settings: the options of the "Options" tab, the window's placement,
// the playlist tree's width and the last folders, as named values of the settings store.
#include "shell/Settings.h"

#include <algorithm>

#include "shell/Main.h"

namespace tessary {

namespace {

// Reads the values of one store in order; a value of the wrong type ends loading.
class SettingsReader {
public:
    explicit SettingsReader(SettingsStore& store) : store_(store) {}

    bool integer(const char* name, int& value) {
        int32_t stored = 0;
        if (!check(store_.readInteger(name, stored), name)) return false;
        value = stored;
        return true;
    }
    bool string(const char* name, std::string& value) {
        std::string stored;
        if (!check(store_.readString(name, stored), name)) return false;
        value = std::move(stored);
        return true;
    }
    // Booleans are integers; any value but 0 is true. Setting the box runs its click handler.
    void boolean(const char* name, CheckBox& box) {
        int stored = 0;
        if (integer(name, stored)) box.setChecked(stored != 0);
    }
    void text(const char* name, TextField& field) {
        std::string stored;
        if (string(name, stored)) field.setText(std::move(stored));
    }

private:
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

    void integer(const char* name, int value) {
        if (!store_.writeInteger(name, value)) fail(name);
    }
    void string(const char* name, const std::string& value) {
        if (!store_.writeString(name, value)) fail(name);
    }
    void boolean(const char* name, bool value) { integer(name, value ? 1 : 0); }

private:
    [[noreturn]] static void fail(const char* name) {
        throw SettingsError(std::string("Failed to set data for '") + name + "'");
    }

    SettingsStore& store_;
};

// A stored width or height of 0 means the default size; any other is raised to the minimum.
int atLeast(int size, int minimum) {
    return size == 0 ? 0 : std::max(size, minimum);
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

} // namespace

void TfMain::RegRead() {
    if (settings_ == nullptr || !settings_->keyExists()) return;
    SettingsReader read(*settings_);

    // The size before the position and the state after both, so that a maximised window keeps
    // its normal placement underneath. The face applies what was loaded, even when a later
    // value stops loading.
    bool placementLoaded = false;
    try {
        int value = 0;
        if (read.integer("Width", value)) {
            placement.width = atLeast(value, kMinWindowWidth);
            placementLoaded = true;
        }
        if (read.integer("Height", value)) {
            placement.height = atLeast(value, kMinWindowHeight);
            placementLoaded = true;
        }
        if (read.integer("Top", value)) {
            placement.top = value;
            placementLoaded = true;
        }
        if (read.integer("Left", value)) {
            placement.left = value;
            placementLoaded = true;
        }
        if (read.integer("WindowState", value)) {
            const bool known = value >= kWindowNormal && value <= kWindowMaximised;
            placement.state = known ? value : kWindowNormal;
            placementLoaded = true;
        }
        if (read.integer("TreeWidth", value)) {
            treeWidth = value;
            placementLoaded = true;
        }
    } catch (const SettingsError&) {
        if (placementLoaded) placementChanged.emit();
        throw;
    }
    if (placementLoaded) placementChanged.emit();

    read.text("AudioExt", eAudioExt);
    read.text("VideoExt", eVideoExt);
    read.text("SubExt", eSubExt);
    read.text("Workdir", eWorkdir);
    read.string("EVOdir", EVOdir);
    read.string("XPLdir", XPLdir);
    read.boolean("Continue", cbContinue);
    read.boolean("FastCheck", cbFastCheck);
    read.boolean("CountFrames", cbCountFr);
    read.boolean("Details", cbDetails);
    read.boolean("AutoRead", cbAutoRead);
    read.boolean("AutoDemux", rbAutoDemux);
    read.boolean("AutoRebuild", rbAutoRebuild);
    // Clearing a radio button selects no other: with neither stored as true the group falls
    // back to "No auto process", so that one of the three is always selected.
    if (!rbAutoDemux.checked() && !rbAutoRebuild.checked()) rbNoAuto.setChecked(true);
    read.boolean("AutoClear", cbAutoClear);
    int fastSize = 0;
    if (read.integer("FastSize", fastSize))
        ieFastSize.setValue(fitField(fastSize, ieFastSize.maxLength()));
    read.boolean("ADV_PCK", cbRBAdvanced);
}

void TfMain::RegWrite() {
    if (settings_ == nullptr) return;
    SettingsWriter write(*settings_);

    write.integer("WindowState", placement.state);
    // A maximised window keeps the normal placement of the last close that was not maximised.
    if (placement.state != kWindowMaximised) {
        write.integer("Top", placement.top);
        write.integer("Left", placement.left);
        write.integer("Width", placement.width);
        write.integer("Height", placement.height);
    }
    write.integer("TreeWidth", treeWidth);
    write.string("AudioExt", eAudioExt.text());
    write.string("VideoExt", eVideoExt.text());
    write.string("SubExt", eSubExt.text());
    write.string("Workdir", eWorkdir.text());
    write.string("EVOdir", EVOdir);
    write.string("XPLdir", XPLdir);
    write.boolean("Continue", cbContinue.checked());
    write.boolean("FastCheck", cbFastCheck.checked());
    write.boolean("CountFrames", cbCountFr.checked());
    write.boolean("Details", cbDetails.checked());
    write.boolean("AutoRead", cbAutoRead.checked());
    write.boolean("AutoDemux", rbAutoDemux.checked());
    write.boolean("AutoRebuild", rbAutoRebuild.checked());
    write.boolean("AutoClear", cbAutoClear.checked());
    const int fastSize = ieFastSize.value();
    ieFastSize.setValue(fastSize);
    write.integer("FastSize", fastSize);
    write.boolean("ADV_PCK", cbRBAdvanced.checked());
}

} // namespace tessary
