#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "CliApp.h"
#include "CommandOptions.h"
#include "Interrupt.h"
#include "TerminalOutput.h"
#include "Warnings.h"
#include "jobs/JobContext.h"
#include "platform/LogText.h"
#include "platform/NewFolders.h"
#include "platform/OutputFile.h"
#include "platform/Programs.h"
#include "platform/Reporter.h"
#include "platform/Ui.h"
#include "shell/MessageLog.h"

namespace tessary::cli {

// The report as JSON text. Paths and names are bytes that need not be UTF-8: a byte that is
// not is written as U+FFFD rather than ending the run.
inline std::string dumpJson(const nlohmann::ordered_json& report) {
    return report.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

// A command's run on the command line: the jobs' log printed on stdout as it grows (unless
// the report is JSON), the progress line on stderr when it is a terminal, errors on stderr.
class Session : public Reporter, public JobPort {
public:
    Session(const OutputOptions& output, std::ostream& out, std::ostream& err,
            bool stdoutIsTerminal, bool stderrIsTerminal)
        : json(output.format == Format::Json),
          warnings(err), context{state, *this, *this, {}, files, programs}, err_(err),
          showProgress_(!output.quiet && stderrIsTerminal),
          redErrors_(output.colour == Colour::Always ||
                     (output.colour == Colour::Auto && stderrIsTerminal)) {
        const bool colour =
            output.colour == Colour::Always || (output.colour == Colour::Auto && stdoutIsTerminal);
        if (!json)
            log_.appended.connect([this, &out, colour](std::size_t index) {
                if (failing_) return; // the error goes on stderr, once
                const LogLine& line = log_.lines()[index];
                out << (colour ? ansiLine(line) : plainLine(line)) << '\n';
                out.flush();
            });
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Reporter: the log; status panel 1 is the progress line.
    void log(std::string_view message) override { log_.append(message); }
    void slog(std::string_view text, int panel) override {
        if (panel != 1 || !showProgress_) return;
        err_ << "\r\x1b[K" << text;
        err_.flush();
        progressShown_ = !text.empty();
    }
    // JobPort: an interrupt (Ctrl+C) is the Cancel of the command line.
    double nowDays() override { return clock_.nowDays(); }
    void processMessages() override {
        if (interrupted()) state.cancelFlag = true;
    }

    const MessageLog& messages() const { return log_; }

    void clearProgress() {
        if (progressShown_) err_ << "\r\x1b[K";
        progressShown_ = false;
    }

    // Ends a command with an error: the folders it made are taken back when empty, the
    // error is the log's last line, printed on stderr (in red on a terminal) rather than among
    // the log's lines on stdout; exit status 1 unless told.
    int fail(const std::string& message, int status = kExitFailure) {
        clearProgress();
        takeBackFolders();
        failing_ = true;
        logFailure(*this, message);
        failing_ = false;
        const std::string text = "tessary-cli: " + printable(message);
        err_ << (redErrors_ ? "\x1b[31m" + text + "\x1b[0m" : text) << '\n';
        return status;
    }

    // Removes the folders the command made for its outputs that hold nothing, with a line
    // for each.
    void takeBackFolders() { tessary::takeBackFolders(newFolders, *this); }

    // Prints the report, with the run's warnings, as one JSON document.
    void printJson(std::ostream& out, nlohmann::ordered_json report) const {
        report["warnings"] = warnings.texts();
        out << dumpJson(report) << '\n';
    }

    RunState state;
    NewFolders newFolders; // the output folders this command made
    DiskOutputFiles files;
    SystemPrograms programs;
    const bool json;
    Warnings warnings;
    JobContext context;

private:
    std::ostream& err_;
    const bool showProgress_;
    const bool redErrors_;
    bool progressShown_ = false;
    bool failing_ = false;
    MessageLog log_;
    SystemClock clock_;
};

// Runs a job; an error it raises ends the command (exit status 1), its message on stderr.
// An interrupted job (Ctrl+C) ends the command with "Interrupted" and exit status 130.
template <typename Job> std::optional<int> runJob(Session& session, Job job) {
    try {
        job();
    } catch (const std::exception& error) {
        if (interrupted()) return session.fail("Interrupted", kExitInterrupted);
        return session.fail(error.what());
    }
    if (interrupted()) return session.fail("Interrupted", kExitInterrupted);
    session.clearProgress();
    return std::nullopt;
}

} // namespace tessary::cli
