#include "platform/ReportLine.h"

#include <utility>

namespace tessary {

namespace {

constexpr std::string_view kDetailIndent = "   ";

} // namespace

ReportLine& ReportLine::text(std::string_view markup) {
    markup_ += markup;
    return *this;
}

ReportLine& ReportLine::value(std::string_view name, FieldValue value, std::string_view unit,
                              std::string_view shown) {
    fields_.push_back({std::string(name), std::move(value), std::string(unit), {}});
    markup_ += shown;
    return *this;
}

ReportLine& ReportLine::field(std::string_view name, FieldValue value, std::string_view unit,
                              std::string_view shown) {
    markup_ += name;
    markup_ += " = ";
    return this->value(name, std::move(value), unit, shown);
}

ReportLine& ReportLine::field(std::string_view name, long long number) {
    return field(name, static_cast<double>(number), "", std::to_string(number));
}

ReportLine& ReportLine::under(std::string_view heading) {
    for (ReportField& field : fields_)
        field.group = heading;
    return *this;
}

ReportLine& ReportLine::as(Property key) {
    if (fields_.empty()) return *this;
    const FieldValue& value = fields_.back().value;
    if (const double* number = std::get_if<double>(&value)) return property(key, *number);
    if (const std::string* text = std::get_if<std::string>(&value)) return property(key, *text);
    return *this;
}

ReportLine& ReportLine::as(Property first, Property second) {
    if (fields_.empty()) return *this;
    const auto* pair = std::get_if<std::vector<double>>(&fields_.back().value);
    if (!pair || pair->size() != 2) return *this;
    const double a = (*pair)[0], b = (*pair)[1];
    return property(first, a).property(second, b);
}

ReportLine& ReportLine::property(Property key, PropertyValue value) {
    properties_.emplace_back();
    properties_.back().key = key;
    properties_.back().value = std::move(value);
    return *this;
}

ReportLine detailLine(std::string_view name, FieldValue value, std::string_view unit,
                      std::string_view shown) {
    return ReportLine(kDetailIndent).field(name, std::move(value), unit, shown);
}

ReportLine detailLine(std::string_view name, long long number) {
    return ReportLine(kDetailIndent).field(name, number);
}

ReportLine detailText(std::string_view name, std::string_view text) {
    return detailLine(name, std::string(text), "", text);
}

std::string blue(std::string_view shown) {
    return "[bl]" + std::string(shown) + "[/bl]";
}

} // namespace tessary
