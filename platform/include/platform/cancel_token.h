#pragma once
// A request to stop a running computation, shared between the code that
// computes and whoever may ask it to stop (another thread, a dialog's
// Cancel button, a signal handler).
//
// The flag is a lock-free std::atomic<bool>: setting it is async-signal-safe,
// so quelta-cli can cancel from its SIGINT handler directly. std::stop_source
// was not used because request_stop() may take a lock and run callbacks,
// which a signal handler must not do. Copies share one flag (shared
// ownership), so a job may outlive the window that started it.
#include <atomic>
#include <memory>

namespace platform {

class CancelToken {
  public:
    CancelToken() : flag_(std::make_shared<std::atomic<bool>>(false)) {}

    // Asks every holder of this token to stop. Async-signal-safe.
    void Cancel() const noexcept { flag_->store(true, std::memory_order_relaxed); }
    bool Cancelled() const noexcept { return flag_->load(std::memory_order_relaxed); }

  private:
    static_assert(std::atomic<bool>::is_always_lock_free,
                  "cancelling from a signal handler needs a lock-free flag");
    std::shared_ptr<std::atomic<bool>> flag_;
};

} // namespace platform
