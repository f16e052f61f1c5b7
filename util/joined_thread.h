#pragma once

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
};
