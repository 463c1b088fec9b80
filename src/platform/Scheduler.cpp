#include "platform/Scheduler.h"

#include <algorithm>
#include <utility>

namespace larkspur {

struct TaskHandle::State {
    std::shared_ptr<Scheduler::Task> task;
    double period = 0;
    bool cancelled = false;
    std::shared_ptr<std::size_t> queueCancelled;
};

namespace {
// Below this many, dropping cancelled entries early is not worth a pass over the queue.
constexpr std::size_t kPurgeAtLeast = 64;
}  // namespace

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
        // A task that ran once is already marked and out of its queue.
        if (!state_->cancelled && state_->queueCancelled) ++*state_->queueCancelled;
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
    state->queueCancelled = cancelled_;
    purgeIfMostlyCancelled();
    push(Entry{due, nextSeq_++, state});
    return TaskHandle(std::move(state));
}

void TaskQueue::push(Entry entry) {
    heap_.push_back(std::move(entry));
    std::push_heap(heap_.begin(), heap_.end(), Later{});
}

TaskQueue::Entry TaskQueue::pop() {
    std::pop_heap(heap_.begin(), heap_.end(), Later{});
    Entry entry = std::move(heap_.back());
    heap_.pop_back();
    return entry;
}

void TaskQueue::dropCancelledTop() {
    purgeIfMostlyCancelled();
    while (!heap_.empty() && heap_.front().state->cancelled) {
        pop();
        if (*cancelled_ > 0) --*cancelled_;
    }
}

void TaskQueue::purgeIfMostlyCancelled() {
    if (*cancelled_ < kPurgeAtLeast || *cancelled_ * 2 < heap_.size()) return;
    // A fresh vector, so that the room the cancelled entries took goes back too.
    std::vector<Entry> live;
    live.reserve(heap_.size() - std::min(*cancelled_, heap_.size()));
    for (Entry& entry : heap_)
        if (!entry.state->cancelled) live.push_back(std::move(entry));
    std::make_heap(live.begin(), live.end(), Later{});
    heap_.swap(live);
    *cancelled_ = 0;
}

double TaskQueue::nextDue() {
    dropCancelledTop();
    return heap_.empty() ? -1.0 : heap_.front().due;
}

int TaskQueue::runDue(double now) {
    int ran = 0;
    for (;;) {
        dropCancelledTop();
        if (heap_.empty() || heap_.front().due > now) break;
        Entry entry = pop();
        auto& state = *entry.state;
        if (state.period > 0) {
            // Keep the cadence of a repeating task; after a long stall, restart it from now.
            double next = entry.due + state.period;
            if (next <= now) next = now + state.period;
            push(Entry{next, nextSeq_++, entry.state});
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
