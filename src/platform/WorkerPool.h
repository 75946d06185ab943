#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>
#include <vector>

namespace tresol::platform {

// A fixed set of threads that run the jobs handed to them, first come first served. Each job's
// result (or exception) comes back through its future; the caller keeps the order it wants by
// the order it waits on them. Jobs must own what they use: the pool shares nothing with them.
class WorkerPool {
  public:
    // `threads` from 1; a thread that cannot be started is a std::system_error here.
    explicit WorkerPool(unsigned threads);
    // Lets the jobs already running finish, drops those not started (their futures report a
    // broken promise) and joins every thread.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    unsigned size() const { return static_cast<unsigned>(threads_.size()); }

    template <class F> std::future<std::invoke_result_t<F>> submit(F job) {
        using R = std::invoke_result_t<F>;
        // std::function wants a copyable target; the task itself is move-only.
        auto task = std::make_shared<std::packaged_task<R()>>(std::move(job));
        std::future<R> result = task->get_future();
        post([task] { (*task)(); });
        return result;
    }

    // A job whose end nobody waits for.
    void post(std::function<void()> job);

  private:
    void work();

    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> queue_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

// The threads a parallel run uses when none are asked for: one per core, at least one.
unsigned defaultThreadCount();

} // namespace tresol::platform
