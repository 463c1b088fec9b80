#include "platform/Scheduler.h"

#include <utility>

namespace larkspur {

struct TaskHandle::State {
    std::shared_ptr<Scheduler::Task> task;
    double period = 0;
    bool cancelled = false;
};

TaskHandle& TaskHandle::operator=(TaskHandle&& other) noexcept {
    if (this != &other) {
        cancel();
        state_ = std::move(other.state_);
    }
    return *this;
}

TaskHandle::~TaskHandle() {
    cancel();
}

void TaskHandle::cancel() {
    if (state_) {
        state_->cancelled = true;
        state_->task.reset();
        state_.reset();
    }
}

bool TaskHandle::isActive() const {
    return state_ && !state_->cancelled;
}

TaskHandle TaskQueue::add(double due, double period, Scheduler::Task task) {
    auto state = std::make_shared<TaskHandle::State>();
    state->task = std::make_shared<Scheduler::Task>(std::move(task));
    state->period = period;
    heap_.push(Entry{due, nextSeq_++, state});
    return TaskHandle(std::move(state));
}

void TaskQueue::dropCancelledTop() {
    while (!heap_.empty() && heap_.top().state->cancelled) heap_.pop();
}

double TaskQueue::nextDue() {
    dropCancelledTop();
    return heap_.empty() ? -1.0 : heap_.top().due;
}

int TaskQueue::runDue(double now) {
    int ran = 0;
    for (;;) {
        dropCancelledTop();
        if (heap_.empty() || heap_.top().due > now) break;
        Entry entry = heap_.top();
        heap_.pop();
        auto& state = *entry.state;
        if (state.period > 0) {
            // Keep the cadence of a repeating task; after a long stall, restart it from now.
            double next = entry.due + state.period;
            if (next <= now) next = now + state.period;
            heap_.push(Entry{next, nextSeq_++, entry.state});
        } else {
            state.cancelled = true;
        }
        // Hold the callable: the task may cancel its own handle while it runs.
        std::shared_ptr<Scheduler::Task> task = state.task;
        if (task) {
            (*task)();
            ++ran;
        }
    }
    return ran;
}

}  // namespace larkspur
