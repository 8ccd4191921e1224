#include "jobs/JobContext.h"

#include "platform/LogText.h"
#include "platform/NewFolders.h"
#include "platform/Reporter.h"

namespace tessary {

void logDone(Reporter& out) {
    out.log("Done.");
    out.log("");
    out.slog("Ready", 0);
    out.slog("", 1);
}

void logEnd(Reporter& out, bool cancelled) {
    if (!cancelled) return logDone(out);
    out.log("Cancelled.");
    out.slog("Ready", 0);
    out.slog("", 1);
}

void takeBackFolders(NewFolders& made, Reporter& out) {
    for (const std::string& folder : made.removeEmpty())
        out.log("Removed the empty folder " + literal(folder));
}

void logFailure(Reporter& out, std::string_view error) {
    out.log("[re]" + literal(error) + "[/re]");
    out.slog("Ready", 0);
    out.slog("", 1);
}

} // namespace tessary
