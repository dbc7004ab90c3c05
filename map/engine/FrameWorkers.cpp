#include "FrameWorkers.h"

#include "VectorState.h"

#include <algorithm>
#include <utility>

namespace {

// Set on the workers' own threads.
thread_local bool onWorker = false;

} // namespace

FrameWorkers& FrameWorkers::shared()
{
    static FrameWorkers workers(std::max(1, static_cast<int>(std::thread::hardware_concurrency()) - 1));
    return workers;
}

FrameWorkers::FrameWorkers(int threads)
{
    const int count = std::max(threads, 1);
    threads_.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        threads_.emplace_back([this] { serve(); });
}

FrameWorkers::~FrameWorkers()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    woken_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

std::future<void> FrameWorkers::run(std::function<void()> work)
{
    std::packaged_task<void()> task(std::move(work));
    std::future<void> done = task.get_future();
    if (onWorker) {
        task();
        return done;
    }
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(std::move(task));
    }
    woken_.notify_one();
    return done;
}

void FrameWorkers::serve()
{
    onWorker = true;
    for (;;) {
        std::packaged_task<void()> task;
        {
            std::unique_lock lock(mutex_);
            woken_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty())
                return;
            task = std::move(queue_.front());
            queue_.pop_front();
        }
        settleVectorState();
        task();
    }
}
