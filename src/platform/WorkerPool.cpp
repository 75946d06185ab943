#include "platform/WorkerPool.h"

namespace tresol::platform {

WorkerPool::WorkerPool(unsigned threads) {
    threads_.reserve(threads);
    try {
        for (unsigned i = 0; i < threads; ++i)
            threads_.emplace_back([this] { work(); });
    } catch (...) {
        // The threads already started must not outlive the pool that failed to be made.
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        ready_.notify_all();
        for (auto& t : threads_)
            t.join();
        throw;
    }
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    ready_.notify_all();
    for (auto& t : threads_)
        t.join();
}

void WorkerPool::post(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(job));
    }
    ready_.notify_one();
}

void WorkerPool::work() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_)
                return;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        job();
    }
}

unsigned defaultThreadCount() {
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : n;
}

} // namespace tresol::platform
