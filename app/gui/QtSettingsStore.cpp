#include "QtSettingsStore.h"

#include <charconv>
#include <limits>

#include <QByteArray>
#include <QMetaType>
#include <QVariant>

namespace tessary::gui {

namespace {

QString keyOf(std::string_view name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

bool fitsInt32(long long value) {
    return value >= std::numeric_limits<int32_t>::min() &&
           value <= std::numeric_limits<int32_t>::max();
}

// Decimal text that is an integer in full: an optional sign and digits, nothing around them.
bool parseInt32(const QString& text, int32_t& value) {
    const QByteArray utf8 = text.toUtf8();
    const char* begin = utf8.constData();
    const char* end = begin + utf8.size();
    if (begin != end && *begin == '+') {
        ++begin;
        if (begin != end && *begin == '-') return false;
    }
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    return ec == std::errc() && ptr == end;
}

} // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Marrowby Software"),
                QStringLiteral("Tessary")) {}

QtSettingsStore::QtSettingsStore(const QString& fileName)
    : settings_(fileName, QSettings::IniFormat) {}

bool QtSettingsStore::keyExists() {
    return !settings_.childKeys().isEmpty();
}

SettingsStore::ReadStatus QtSettingsStore::readInteger(std::string_view name, int32_t& value) {
    const QString key = keyOf(name);
    if (!settings_.contains(key)) return ReadStatus::Missing;
    const QVariant stored = settings_.value(key);
    switch (stored.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort: {
        bool ok = false;
        const long long number = stored.toLongLong(&ok);
        if (!ok || !fitsInt32(number)) return ReadStatus::WrongType;
        value = static_cast<int32_t>(number);
        return ReadStatus::Ok;
    }
    case QMetaType::ULongLong: {
        bool ok = false;
        const unsigned long long number = stored.toULongLong(&ok);
        if (!ok || number > static_cast<unsigned long long>(std::numeric_limits<int32_t>::max()))
            return ReadStatus::WrongType;
        value = static_cast<int32_t>(number);
        return ReadStatus::Ok;
    }
    case QMetaType::QString: {
        int32_t number = 0;
        if (!parseInt32(stored.toString(), number)) return ReadStatus::WrongType;
        value = number;
        return ReadStatus::Ok;
    }
    default: return ReadStatus::WrongType;
    }
}

SettingsStore::ReadStatus QtSettingsStore::readString(std::string_view name, std::string& value) {
    const QString key = keyOf(name);
    if (!settings_.contains(key)) return ReadStatus::Missing;
    const QVariant stored = settings_.value(key);
    if (stored.typeId() != QMetaType::QString) return ReadStatus::WrongType;
    value = stored.toString().toStdString();
    return ReadStatus::Ok;
}

bool QtSettingsStore::writeInteger(std::string_view name, int32_t value) {
    settings_.setValue(keyOf(name), static_cast<int>(value));
    return written();
}

bool QtSettingsStore::writeString(std::string_view name, std::string_view value) {
    settings_.setValue(keyOf(name),
                       QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
    return written();
}

// Writes the pending value through. A file that could not be parsed when it was read leaves
// FormatError behind for good although writing it anew succeeds; only AccessError means that
// the value did not reach the store.
bool QtSettingsStore::written() {
    settings_.sync();
    return settings_.status() != QSettings::AccessError;
}

} // namespace tessary::gui
