#pragma once

#include <QObject>
#include <functional>
#include <stop_token>

namespace tessaly {

// Runs task on the thread of context, through that thread's event loop, and waits for its result, or
// for stop, whichever comes first. This is how the device worker's waits reach the user-interface
// thread: unlike a blocking queued connection, the wait ends as soon as the worker is asked to stop, so
// the user-interface thread may stop the worker (and wait for its thread) at any moment, even while the
// task itself is showing a box and running a nested event loop.
//
// Returns the task's result, or false when the stop came first: a task that has not started by then is
// skipped, and one that is running finishes on its own with its result dropped. Never call it on
// context's own thread.
bool CallOnUiThread(QObject& context, std::stop_token stop, std::function<bool()> task);

// Queues task to run on the thread of context, through that thread's event loop, and returns at once;
// false when it could not be queued. Every cross-thread call of the desktop goes through here: Qt hands
// the queued call over under its own locks, which ThreadSanitizer cannot see, so both sides also take a
// lock of ours around the hand-over and the tool sees the order Qt guarantees.
bool PostToUiThread(QObject& context, std::function<void()> task);

}  // namespace tessaly
