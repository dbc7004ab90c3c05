// Threads kept for the work a frame hands to other cores: its bands, the
// halves of its walk over a city's objects, its icons. A thread started
// for each piece of work costs its start every frame, and on a busy
// machine a new thread may take milliseconds to run at all, which a frame
// of a flight cannot wait for; a kept one is woken in microseconds.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

class FrameWorkers {
public:
    // Workers for the machine's other cores, at least one.
    static FrameWorkers& shared();

    explicit FrameWorkers(int threads);
    ~FrameWorkers();
    FrameWorkers(const FrameWorkers&) = delete;
    FrameWorkers& operator=(const FrameWorkers&) = delete;

    // Runs work on a worker. Asked from a worker, it runs at once on the
    // asking thread: a worker waiting for work queued behind itself would
    // wait for ever.
    std::future<void> run(std::function<void()> work);

private:
    void serve();

    std::mutex mutex_;
    std::condition_variable woken_;
    std::deque<std::packaged_task<void()>> queue_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};
