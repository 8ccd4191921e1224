#include "ops/MatroskaMux.h"

#include <cstdio>
#include <memory>

#include "ops/OutputNames.h"
#include "platform/LogText.h"
#include "platform/OutputFile.h"
#include "platform/Paths.h"
#include "platform/Programs.h"
#include "platform/Reporter.h"

namespace tessary {

namespace {

constexpr std::string_view kProgressTag = "#GUI#progress ";
constexpr std::string_view kWarningTag = "#GUI#warning ";
constexpr std::string_view kErrorTag = "#GUI#error ";

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

// The muxer's message for a failure: its error lines, else the last lines it wrote.
std::string failureText(const ProgramResult& result, const std::vector<std::string>& errors) {
    const std::vector<std::string>& lines = errors.empty() ? result.lastLines : errors;
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : " ") + line;
    return text;
}

} // namespace

std::string muxerCommand(const std::string& optionsPath) {
    return std::string(kMuxerName) + " " + shellQuoted("@" + optionsPath);
}

MuxOutcome MatroskaMux::run(const MuxPlan& plan, const std::string& optionsPath) {
    Reporter& out = context_.out;
    MuxOutcome outcome;
    outcome.command = muxerCommand(optionsPath);
    const std::string muxer = programs_.find(kMuxerName);

    // The muxer writes under a temporary name of the Matroska file's folder, which takes the
    // file's name only once the muxer succeeded: a file of that name stays until then. Left
    // for a run by hand, the options name the file itself.
    std::unique_ptr<OutputFile> output;
    MuxPlan muxed = plan;
    if (!muxer.empty()) {
        output = context_.files.create(plan.output);
        output->close();
        muxed.output = output->writtenPath();
    }
    if (!plan.chaptersPath.empty()) {
        std::string chapters;
        for (const std::string& line : ogmChapterLines(plan.chapters))
            chapters += line + "\n";
        writeWholeFile(context_.files, plan.chaptersPath, chapters);
    }
    writeWholeFile(context_.files, optionsPath, jsonStringArray(mkvmergeArguments(muxed)));
    if (muxer.empty()) return outcome;

    const std::string name = namePart(plan.output);
    out.log("Muxing " + literal(name));
    out.slog("Muxing", 0);
    RunState& state = context_.state;
    PassHost& host = context_.host;
    // A Cancel pressed since the Demux ended counts: the flag is not cleared here.
    host.setCancelEnabled(true);
    state.muxing = true;
    std::vector<std::string> errors;
    auto onLine = [&](std::string_view line) {
        if (startsWith(line, kProgressTag)) {
            int percent = 0;
            if (std::sscanf(std::string(line.substr(kProgressTag.size())).c_str(), "%d",
                            &percent) == 1) {
                out.slog("Muxing " + name + " " + std::to_string(percent) + "%", 1);
                host.progress(static_cast<uint64_t>(percent), 100);
            }
        } else if (startsWith(line, kWarningTag)) {
            out.log("Warning: " + literal(line.substr(kWarningTag.size())));
        } else if (startsWith(line, kErrorTag)) {
            errors.emplace_back(line.substr(kErrorTag.size()));
        }
        host.processMessages();
        return !state.cancelFlag;
    };
    ProgramResult result;
    try {
        result = programs_.run(muxer, {"--gui-mode", "@" + optionsPath}, onLine);
    } catch (const std::exception& error) {
        state.muxing = false;
        host.setCancelEnabled(false);
        throw MuxError(error.what());
    }
    state.muxing = false;
    host.setCancelEnabled(false);
    out.slog("", 1);

    // The muxer's exit status 1 means warnings only: the file is whole.
    if (state.cancelFlag) {
        outcome.cancelled = true;
        return outcome;
    }
    if (result.exitStatus < 0 || result.exitStatus > 1) {
        throw MuxError(std::string(kMuxerName) + " failed with exit status " +
                       std::to_string(result.exitStatus) + ": " + failureText(result, errors));
    }
    output->commit();
    outcome.made = true;
    return outcome;
}

} // namespace tessary
