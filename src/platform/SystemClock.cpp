#include <chrono>

#include "platform/Format.h"
#include "platform/Ui.h"

namespace tessary {

double SystemClock::nowDays() {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    return static_cast<double>(ms) / 1000.0 / kSecondsPerDay;
}

} // namespace tessary
