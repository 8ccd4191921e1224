#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/StreamProperty.h"

namespace tessary {

// A value that a report line names: a number, a text (where the line shows no number), or
// two numbers (a size "1920x1080", a range "-10.6 dB .. 8.4 dB").
using FieldValue = std::variant<double, std::string, std::vector<double>>;

// A named value of the report. Numbers are in SI units whatever the line shows: "48 kHz" is
// 48000 "Hz", "448 kbit/s" is 448000 "bit/s"; frame rates are "frame/s", word lengths "bit",
// sizes "byte", levels "dB". The group is the heading line the value stands under, if any.
struct ReportField {
    std::string name;
    FieldValue value;
    std::string unit;
    std::string group;
    bool operator==(const ReportField&) const = default;
};

// One line of the report, built from its pieces: the exact markup text that the log shows,
// the named values it shows, in the order they appear, and the stream properties it hands
// over (the values under their stable names, see StreamProperty.h).
class ReportLine {
public:
    ReportLine() = default;
    explicit ReportLine(std::string_view markup) : markup_(markup) {}

    // Markup that names no value (indentation, labels, annotations).
    ReportLine& text(std::string_view markup);
    // A value as the line shows it (`shown`), without a label of its own.
    ReportLine& value(std::string_view name, FieldValue value, std::string_view unit,
                      std::string_view shown);
    // "name = shown": the usual form of a named value.
    ReportLine& field(std::string_view name, FieldValue value, std::string_view unit,
                      std::string_view shown);
    // A whole number shown in decimal, without a unit.
    ReportLine& field(std::string_view name, long long number);
    // Sets the heading the line's values stand under.
    ReportLine& under(std::string_view heading);
    // Hands the last value named on the line over as property `key` as well; a pair of numbers
    // as `first` and `second`.
    ReportLine& as(Property key);
    ReportLine& as(Property first, Property second);
    // Hands over a property that the line shows in another form (a rounded frame rate, an
    // arrangement of channels) or not at all.
    ReportLine& property(Property key, PropertyValue value);

    const std::string& markup() const { return markup_; }
    const std::vector<ReportField>& fields() const { return fields_; }
    const std::vector<StreamProperty>& properties() const { return properties_; }

private:
    std::string markup_;
    std::vector<ReportField> fields_;
    std::vector<StreamProperty> properties_;
};

// The detail line of a stream: "   name = shown".
ReportLine detailLine(std::string_view name, FieldValue value, std::string_view unit,
                      std::string_view shown);
ReportLine detailLine(std::string_view name, long long number);
// The same for a text shown as it is.
ReportLine detailText(std::string_view name, std::string_view text);

// A value shown in blue, the colour of the values the inspectors read from a header.
std::string blue(std::string_view shown);

} // namespace tessary
