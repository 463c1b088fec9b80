#include "support/ManualTime.h"

#include <algorithm>

namespace larkspur::test {

TaskHandle ManualTime::after(double delaySeconds, Task task) {
    return queue_.add(mono_ + std::max(0.0, delaySeconds), 0, std::move(task));
}

TaskHandle ManualTime::every(double periodSeconds, Task task) {
    return queue_.add(mono_ + periodSeconds, periodSeconds, std::move(task));
}

void ManualTime::advance(double seconds) {
    const double end = mono_ + seconds;
    for (;;) {
        const double due = queue_.nextDue();
        if (due < 0 || due > end) break;
        mono_ = std::max(mono_, due);
        ran_ += std::size_t(queue_.runDue(mono_));
    }
    mono_ = end;
}

}  // namespace larkspur::test
