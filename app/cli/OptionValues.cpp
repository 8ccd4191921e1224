#include "OptionValues.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace tessary::cli {

namespace {

constexpr const char* kFileKind = "FILE";
constexpr const char* kFolderKind = "DIR";
constexpr const char* kTextKind = "TEXT";

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string commaList(const std::vector<std::string>& words) {
    std::string list;
    for (const std::string& word : words)
        list += (list.empty() ? "" : ", ") + word;
    return list;
}

// "a, b or c"
std::string listOf(const std::vector<std::string>& words) {
    std::string list;
    for (std::size_t i = 0; i < words.size(); ++i)
        list += (i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + words[i];
    return list;
}

} // namespace

CLI::Option* describeValue(CLI::Option* option, const std::string& name, ValueKind kind) {
    const char* kindName = kind == ValueKind::File     ? kFileKind
                           : kind == ValueKind::Folder ? kFolderKind
                                                       : kTextKind;
    return option->option_text(name)->type_name(kindName);
}

ValueKind valueKind(const CLI::Option& option) {
    if (option.get_items_expected_max() == 0) return ValueKind::None; // a flag
    const std::string kind = option.get_type_name();
    if (kind == kFileKind) return ValueKind::File;
    if (kind == kFolderKind) return ValueKind::Folder;
    if (kind.find('|') != std::string::npos) return ValueKind::Choice;
    return ValueKind::Text;
}

std::vector<std::string> choicesOf(const CLI::Option& option) {
    std::vector<std::string> words;
    if (valueKind(option) != ValueKind::Choice) return words;
    const std::string kinds = option.get_type_name();
    for (std::size_t start = 0; start <= kinds.size();) {
        const std::size_t bar = std::min(kinds.find('|', start), kinds.size());
        words.push_back(kinds.substr(start, bar - start));
        start = bar + 1;
    }
    return words;
}

std::string valueName(const CLI::Option& option) {
    if (valueKind(option) == ValueKind::None) return {};
    return option.get_option_text().empty() ? option.get_type_name() : option.get_option_text();
}

std::string choiceList(const std::vector<std::string>& words) {
    std::vector<std::string> listed = words;
    if (!listed.empty()) listed.front() += " (default)";
    return listOf(listed);
}

// The checks have no description: it would be appended to the type name, which names the kind
// of value.
CLI::Validator oneOf(std::vector<std::string> words) {
    return CLI::Validator(
        [words](std::string& value) {
            const std::string word = lowerCase(value);
            if (std::find(words.begin(), words.end(), word) == words.end())
                return "\"" + value + "\" is not one of " + commaList(words);
            value = word;
            return std::string();
        },
        "");
}

CLI::Validator wholeNumberIn(int low, int high) {
    return CLI::Validator(
        [low, high](std::string& value) {
            int number = 0;
            const char* end = value.data() + value.size();
            const auto [stop, error] = std::from_chars(value.data(), end, number);
            if (value.empty() || error != std::errc() || stop != end || number < low ||
                number > high)
                return "\"" + value + "\" is not a whole number from " + std::to_string(low) +
                       " to " + std::to_string(high);
            return std::string();
        },
        "");
}

} // namespace tessary::cli
