#pragma once

#include <memory>
#include <system_error>
#include <thread>

// A thread that is waited for when it goes: a start-up that ends before its first picture still
// lets the work it started on a second core finish.
struct JoinedThread {
    std::thread thread;

    JoinedThread() = default;
    JoinedThread(JoinedThread&&) = default;
    JoinedThread& operator=(JoinedThread&& other) {
        join();
        thread = std::move(other.thread);
        return *this;
    }
    ~JoinedThread() { join(); }
    void join() {
        if (thread.joinable()) thread.join();
    }
    // Runs work on a thread of its own once the one before has ended; where no thread can be made
    // the work is done at once, so it is done either way.
    template <typename Work>
    void start(Work work) {
        join();
        // Shared, so that the work is still here to run when the thread cannot be made.
        auto shared = std::make_shared<Work>(std::move(work));
        try {
            thread = std::thread([shared] { (*shared)(); });
        } catch (const std::system_error&) {
            (*shared)();
        }
    }
    // Runs work on a new thread once the one running now has ended, without waiting for it here:
    // the new thread joins the old one first and takes its place. Work queued this way runs on
    // one second core, item after item.
    template <typename Work>
    void then(Work work) {
        start([before = std::move(*this), work = std::move(work)]() mutable {
            before.join();
            work();
        });
    }
};
