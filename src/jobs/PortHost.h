#pragma once

#include <functional>

#include "engine/PackEngine.h"
#include "jobs/JobContext.h"

namespace tessary {

// The pass's view of a job's port: the options the port reports live, else the job's own.
class PortHost : public PassHost {
public:
    PortHost(JobPort& port, const PassOptions& options) : port_(port), options_(options) {}

    PassOptions passOptions() override { return port_.liveOptions().value_or(options_); }
    void setCancelEnabled(bool enabled) override { port_.setCancelEnabled(enabled); }
    void processMessages() override { port_.processMessages(); }
    void repaint() override { port_.repaint(); }
    double nowDays() override { return port_.nowDays(); }
    void progress(uint64_t position, uint64_t size) override { port_.progress(position, size); }

    // The continue option as it stands after the first file of the feature.
    std::function<bool()> continueOption() {
        return [this] { return passOptions().continueOnSecond; };
    }

private:
    JobPort& port_;
    PassOptions options_;
};

} // namespace tessary
