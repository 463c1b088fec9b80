#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace larkspur {

// A scheduled call. Destroying or resetting the handle cancels it, which is how a delayed step
// dies with the object that owns it.
class TaskHandle {
public:
    TaskHandle() = default;
    TaskHandle(TaskHandle&&) noexcept = default;
    TaskHandle& operator=(TaskHandle&& other) noexcept;
    TaskHandle(const TaskHandle&) = delete;
    TaskHandle& operator=(const TaskHandle&) = delete;
    ~TaskHandle();

    void cancel();
    bool isActive() const;

private:
    friend class TaskQueue;
    struct State;
    explicit TaskHandle(std::shared_ptr<State> state) : state_(std::move(state)) {}
    std::shared_ptr<State> state_;
};

// Calls on the main thread after a delay or repeatedly. Times are seconds on the scheduler's own
// monotonic scale, so a change of the wall clock does not move them.
class Scheduler {
public:
    using Task = std::function<void()>;
    virtual ~Scheduler() = default;

    [[nodiscard]] virtual TaskHandle after(double delaySeconds, Task task) = 0;
    [[nodiscard]] virtual TaskHandle every(double periodSeconds, Task task) = 0;
};

// Due-ordered queue shared by the real scheduler and the one tests drive by hand. Cancelled
// tasks are dropped once they make up most of it, not kept until their due time: ten thousand
// timers removed at once would otherwise hold their entries for as long as they had to run.
class TaskQueue {
public:
    TaskHandle add(double due, double period, Scheduler::Task task);
    // Runs every task due at or before `now`, in due order; returns how many ran.
    int runDue(double now);
    // Due time of the earliest live task, or a negative value when there is none.
    double nextDue();
    // Entries held, cancelled ones not yet dropped included.
    std::size_t size() const { return heap_.size(); }

private:
    struct Entry {
        double due;
        std::uint64_t seq;
        std::shared_ptr<TaskHandle::State> state;
    };
    struct Later {
        bool operator()(const Entry& a, const Entry& b) const {
            return a.due != b.due ? a.due > b.due : a.seq > b.seq;
        }
    };
    void push(Entry entry);
    Entry pop();
    void dropCancelledTop();
    void purgeIfMostlyCancelled();

    std::vector<Entry> heap_;
    // Counted by the handles as they cancel; shared so that a handle may outlive the queue.
    std::shared_ptr<std::size_t> cancelled_ = std::make_shared<std::size_t>(0);
    std::uint64_t nextSeq_ = 0;
};

}  // namespace larkspur
