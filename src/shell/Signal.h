#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace tessary {

// A minimal change notification: observers are called in the order they connected.
// Model objects emit after their state changed, so an observer always reads the new state.
template <class... Args> class Signal {
public:
    using Slot = std::function<void(Args...)>;

    void connect(Slot slot) { slots_.push_back(std::move(slot)); }

    void emit(Args... args) const {
        for (const auto& slot : slots_)
            slot(args...);
    }

private:
    std::vector<Slot> slots_;
};

} // namespace tessary
