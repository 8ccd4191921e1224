#include "shell/StreamRows.h"

#include <cctype>

#include "shell/Main.h"

namespace tessary {

namespace {

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The first field of that name, whatever its case.
const ReportField* findField(const FoundStream& stream, std::string_view name) {
    for (const ReportField& field : stream.fields)
        if (lower(field.name) == name) return &field;
    return nullptr;
}

std::optional<double> numberOf(const ReportField* field) {
    if (!field) return std::nullopt;
    if (const double* number = std::get_if<double>(&field->value)) return *number;
    return std::nullopt;
}

std::string join(const std::vector<std::string>& parts, std::string_view separator) {
    std::string out;
    for (const std::string& part : parts) {
        if (part.empty()) continue;
        if (!out.empty()) out += separator;
        out += part;
    }
    return out;
}

const PropertyValue* propertyOf(const FoundStream& stream, Property key) {
    for (const StreamProperty& property : stream.properties)
        if (property.key == key) return &property.value;
    return nullptr;
}

// The channels as a player counts them: "5.1 ch" for six with a low frequency channel.
std::string channelsOf(const FoundStream& stream, const LocaleSettings& locale) {
    const PropertyValue* channels = propertyOf(stream, Property::Channels);
    const double* count = channels ? std::get_if<double>(channels) : nullptr;
    if (!count) return {};
    const PropertyValue* lfe = propertyOf(stream, Property::Lfe);
    if (lfe && std::get_if<bool>(lfe) && std::get<bool>(*lfe) && *count >= 1)
        return formatDecimal(*count - 1, locale) + ".1 ch";
    return formatDecimal(*count, locale) + " ch";
}

std::string valuesOf(const FoundStream& stream, const LocaleSettings& locale) {
    if (stream.kind == StreamKind::Video) {
        std::string size;
        if (const ReportField* field = findField(stream, "size"))
            if (const auto* pair = std::get_if<std::vector<double>>(&field->value);
                pair && pair->size() == 2)
                size = formatDecimal((*pair)[0], locale) + "x" + formatDecimal((*pair)[1], locale);
        const auto rate = numberOf(findField(stream, "frame rate"));
        return join({size, rate ? formatDecimal(*rate, locale) + " fps" : ""}, ", ");
    }
    if (stream.kind != StreamKind::Audio) return {};
    const auto frequency = numberOf(findField(stream, "sampling frequency"));
    const auto bitRate = numberOf(findField(stream, "transmission bitrate"));
    return join({channelsOf(stream, locale),
                 frequency ? formatDecimal(*frequency / 1000, locale) + " kHz" : "",
                 bitRate ? formatDecimal(*bitRate / 1000, locale) + " kbit/s" : ""},
                ", ");
}

std::string fieldValue(const ReportField& field, const LocaleSettings& locale) {
    std::string text;
    if (const double* number = std::get_if<double>(&field.value)) {
        text = formatDecimal(*number, locale);
    } else if (const std::string* string = std::get_if<std::string>(&field.value)) {
        text = *string;
    } else {
        // A decimal comma calls for another separator between the values.
        const std::string separator = lower(field.name).ends_with("size") ? " x "
                                      : locale.decimalSeparator == ','    ? "; "
                                                                          : ", ";
        for (double part : std::get<std::vector<double>>(field.value))
            text += (text.empty() ? "" : separator) + formatDecimal(part, locale);
    }
    return field.unit.empty() ? text : text + " " + field.unit;
}

} // namespace

const char* streamColumnTitle(StreamColumn column) {
    static const char* const titles[kStreamColumns] = {
        "Key", "Kind", "Codec", "Name", "Language", "Values", "Delay (ms)", "Frames", "Duration"};
    return titles[static_cast<int>(column)];
}

std::vector<StreamRow> streamRows(const std::vector<FoundStream>& streams,
                                  const std::vector<DeclaredStream>& declared,
                                  const LocaleSettings& locale) {
    std::vector<const FoundStream*> sorted;
    for (const FoundStream& stream : streams)
        sorted.push_back(&stream);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const FoundStream* a, const FoundStream* b) { return a->slot < b->slot; });

    std::vector<StreamRow> rows;
    for (const FoundStream* stream : sorted) {
        const DeclaredStream* named = nullptr;
        for (const DeclaredStream& candidate : declared)
            if (candidate.kind == stream->kind && candidate.number == stream->number)
                named = &candidate;
        const std::string name = named ? named->description : "";
        const std::string language = named ? named->language : "";
        const auto slot = static_cast<double>(stream->slot);

        StreamRow row;
        row.slot = stream->slot;
        row.kind = stream->kind;
        StreamCell delay, frames, duration;
        if (stream->firstPtsOffsetMs) {
            const auto ms = static_cast<int32_t>(*stream->firstPtsOffsetMs);
            delay = {std::to_string(ms), static_cast<double>(ms)};
        }
        if (stream->frames)
            frames = {std::to_string(*stream->frames), static_cast<double>(*stream->frames)};
        if (stream->duration)
            duration = {formatTime(*stream->duration / kSecondsPerDay, "h:mm:ss.zzz", locale),
                        *stream->duration};
        row.cells = {{stream->key, slot},
                     {kindName(stream->kind), slot},
                     {stream->codec, std::nullopt},
                     {name, std::nullopt},
                     {language, std::nullopt},
                     {valuesOf(*stream, locale), std::nullopt},
                     delay,
                     frames,
                     duration};

        auto line = [&row](std::string_view label, const std::string& value) {
            if (!value.empty()) row.details.push_back(std::string(label) + ": " + value);
        };
        line("Key", stream->key);
        line("Caption", stream->caption);
        line("Codec", stream->codec);
        if (stream->streamId) line("Stream id", std::to_string(*stream->streamId));
        line("Name", name);
        line("Language", language);
        line("Delay", delay.text.empty() ? "" : delay.text + " ms");
        line("Frames", frames.text);
        line("Duration", duration.text);
        std::string group;
        for (const ReportField& field : stream->fields) {
            if (!field.group.empty() && field.group != group) row.details.push_back(field.group);
            group = field.group;
            row.details.push_back((group.empty() ? "" : "  ") + field.name + ": " +
                                  fieldValue(field, locale));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<StreamRow> streamRows(const TfMain& main) {
    const ReadResult& read = main.lastRead();
    const PlaylistResult& playlist = main.lastPlaylist();
    static const std::vector<DeclaredStream> none;
    const bool named = playlist.titleFound() && playlist.source == read.source;
    return streamRows(read.summary.streams, named ? playlist.read.streams : none, main.locale);
}

void tickRows(TfMain& main, const std::vector<StreamRow>& rows, std::optional<StreamKind> kind,
              bool ticked) {
    for (const StreamRow& row : rows) {
        if (kind && row.kind != *kind) continue;
        CheckBox* box = main.boxOfSlot(row.slot);
        if (box && box->enabled()) box->setChecked(ticked);
    }
}

} // namespace tessary
