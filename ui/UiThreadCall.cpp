#include "ui/UiThreadCall.h"

#include <condition_variable>
#include <memory>
#include <mutex>

namespace tessaly {
namespace {

// Shared by the waiting thread and the queued task, so that either may be the last to let go of it.
struct PendingCall {
    enum class Stage { Queued, Running, Done, Abandoned };

    std::mutex mutex;
    std::condition_variable_any finished;
    Stage stage = Stage::Queued;
    bool result = false;
};

std::mutex& HandOverMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

bool PostToUiThread(QObject& context, std::function<void()> task) {
    const std::lock_guard<std::mutex> posting(HandOverMutex());
    return QMetaObject::invokeMethod(
        &context,
        [task = std::move(task)] {
            // Waits until the posting thread has let go, after it wrote this call's captures.
            { const std::lock_guard<std::mutex> received(HandOverMutex()); }
            task();
        },
        Qt::QueuedConnection);
}

bool CallOnUiThread(QObject& context, std::stop_token stop, std::function<bool()> task) {
    auto call = std::make_shared<PendingCall>();
    // Queued into context's thread; the caller waits below, not inside Qt.
    const bool posted = PostToUiThread(context, [call, task = std::move(task)] {
        {
            std::lock_guard<std::mutex> lock(call->mutex);
            if (call->stage == PendingCall::Stage::Abandoned) {
                return;
            }
            call->stage = PendingCall::Stage::Running;
        }
        const bool result = task();
        {
            std::lock_guard<std::mutex> lock(call->mutex);
            call->result = result;
            call->stage = PendingCall::Stage::Done;
        }
        call->finished.notify_all();
    });
    if (!posted) {
        return false;
    }
    std::unique_lock<std::mutex> lock(call->mutex);
    if (call->finished.wait(lock, stop, [&call] { return call->stage == PendingCall::Stage::Done; })) {
        return call->result;
    }
    call->stage = PendingCall::Stage::Abandoned;
    return false;
}

}  // namespace tessaly
