#pragma once

#include <QSettings>
#include <QString>

#include "platform/SettingsStore.h"

namespace tessary::gui {

// The settings in QSettings' native store for organisation "Marrowby Software" and application
// "Tessary": the registry key on Windows, a per-user file elsewhere. Integers are stored as
// integers and strings as strings; a file-based store gives integers back as decimal text,
// which reads as an integer again.
class QtSettingsStore : public SettingsStore {
public:
    QtSettingsStore();
    // An INI file at `fileName` instead of the native store (tests).
    explicit QtSettingsStore(const QString& fileName);

    bool keyExists() override;
    ReadStatus readInteger(std::string_view name, int32_t& value) override;
    ReadStatus readString(std::string_view name, std::string& value) override;
    bool writeInteger(std::string_view name, int32_t value) override;
    bool writeString(std::string_view name, std::string_view value) override;

private:
    bool written();

    QSettings settings_;
};

} // namespace tessary::gui
