#pragma once
// A lock with a condition, on the system's slim reader/writer lock and condition variable. Neither needs a kernel
// object: a thread that does not have to wait makes no system call, and one that waits sleeps on an address.
// This toolchain's std::mutex and std::condition_variable wait on semaphores, a system call each time, which
// cost a verification of 20,000 small files about a fifth of its time in hand-offs between its threads.
#include <windows.h>

#include <stop_token>
#include <utility>

namespace korvane {

class Monitor {
public:
    Monitor() = default;
    Monitor(const Monitor&) = delete;
    Monitor& operator=(const Monitor&) = delete;

    // Runs `change` under the lock, then wakes the threads that wait.
    template <typename Change>
    void Update(Change&& change)
    {
        {
            const Locked locked(lock_);
            change();
        }
        WakeAllConditionVariable(&condition_);
    }

    // Waits until `ready()` holds, then runs `take` under the same lock. Returns false, without taking, once
    // `stop` is requested: at once when the one who requests it wakes the monitor then (RequestStop), else within
    // kStopSeenMs. Not through a std::stop_callback: on this toolchain, destroying one while its callback runs on
    // another thread can wait for good on a semaphore that missed its wake-up, and a waiter woken by that callback
    // destroys it at once (a copy stopped in the middle of a file hung so).
    template <typename Ready, typename Take>
    bool WaitThen(std::stop_token stop, Ready&& ready, Take&& take)
    {
        const Locked locked(lock_);
        while (!stop.stop_requested() && !ready()) SleepConditionVariableSRW(&condition_, &lock_, kStopSeenMs, 0);
        if (stop.stop_requested()) return false;
        take();
        return true;
    }

    // WaitThen, then wakes the threads that wait once `take` has run: for a change another thread waits for,
    // which would otherwise see it only at its next look for a stop.
    template <typename Ready, typename Take>
    bool WaitThenWake(std::stop_token stop, Ready&& ready, Take&& take)
    {
        if (!WaitThen(std::move(stop), std::forward<Ready>(ready), std::forward<Take>(take))) return false;
        WakeAllConditionVariable(&condition_);  // after the lock: a waiter has seen the change or sleeps
        return true;
    }

    // Requests the stop of `source` and wakes the threads that wait with its token. Taking the lock before waking
    // makes sure that a waiter has either seen the stop or is asleep.
    void RequestStop(std::stop_source& source)
    {
        source.request_stop();
        Update([] {});
    }

    static constexpr DWORD kStopSeenMs = 50;

private:
    class Locked {
    public:
        explicit Locked(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
        ~Locked() { ReleaseSRWLockExclusive(&lock_); }
        Locked(const Locked&) = delete;
        Locked& operator=(const Locked&) = delete;

    private:
        SRWLOCK& lock_;
    };

    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE condition_ = CONDITION_VARIABLE_INIT;
};

}  // namespace korvane
