#include "util/joined_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

// Work queued with then runs item after item, each once the one before has ended, however long
// the earlier ones take; join waits for the last.
TEST(JoinedThread, WorkQueuedWithThenRunsInOrderAndJoinWaitsForAll) {
    std::vector<int> order;  // no lock: the items never run side by side
    JoinedThread worker;
    for (int item = 0; item < 5; ++item)
        worker.then([&order, item] {
            std::this_thread::sleep_for(std::chrono::milliseconds(5 - item));
            order.push_back(item);
        });
    worker.join();
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));

    worker.then([&order] { order.push_back(5); });  // a new queue once the old one has ended
    worker.join();
    EXPECT_EQ(order.size(), 6u);
}
