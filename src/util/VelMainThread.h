#pragma once

#include <functional>

// "On the main thread": call directly when already there, otherwise queue the
// work on the GUI thread's event loop.
class VelMainThread
{
public:
    static bool isMainThread();
    static void run(std::function<void()> work);
    // Always queues, even on the main thread (like dispatch_async to the main queue).
    static void post(std::function<void()> work);
};
