#pragma once
// Clocks for the sources of measurements: the simulated card computes its
// timer output from the time elapsed since the timer was started, and the
// card's read bounds its waits for the timer on the same clock; the USB box
// times its conversation on one too. The program gives them the monotonic
// clock (the real ports use it too); tests and benchmarks give them a
// virtual clock that moves only when they say. A timed read on a virtual
// clock that neither moves by itself nor per poll never ends: the timer's
// output stands still, and so does the time that would bound the wait.
#include <atomic>
#include <cassert>
#include <chrono>

class Clock {
public:
    virtual ~Clock() = default;

    // Time since an arbitrary origin; never goes back.
    virtual std::chrono::nanoseconds Now() = 0;

    // Called by the simulated card after each read of port 0x61, the port
    // that a timed read polls. Real time needs nothing here.
    virtual void OnPoll() {}

    // Called when a wait for a device (the box's serial line) begins, with
    // `remaining` left before its deadline on this clock: returns how long
    // the wait may block in real time. Real time blocks for what is left; a
    // virtual clock may move to the deadline itself and answer 0.
    virtual std::chrono::nanoseconds OnWait(std::chrono::nanoseconds remaining) { return remaining; }
};

// The system's monotonic clock.
class MonotonicClock final : public Clock {
public:
    std::chrono::nanoseconds Now() override;
};

// A clock that stands still until told to move: by Advance, and by a fixed
// step at each poll of port 0x61 when one is set, so that a timed read on
// the simulated card ends without any real time passing. A test moves it
// from its own thread while a worker's reading reads it: its time and step
// are atomic.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(std::chrono::nanoseconds pollStep = std::chrono::nanoseconds(0))
        : pollStep_(pollStep.count())
    {
        assert(pollStep.count() >= 0 && "a clock never goes back");
    }

    std::chrono::nanoseconds Now() override { return std::chrono::nanoseconds(now_.load()); }
    void OnPoll() override { now_ += pollStep_.load(); }

    void Advance(std::chrono::nanoseconds duration)
    {
        assert(duration.count() >= 0 && "a clock never goes back");
        now_ += duration.count();
    }
    void SetPollStep(std::chrono::nanoseconds step)
    {
        assert(step.count() >= 0 && "a clock never goes back");
        pollStep_ = step.count();
    }
    std::chrono::nanoseconds PollStep() const { return std::chrono::nanoseconds(pollStep_.load()); }

private:
    std::atomic<std::chrono::nanoseconds::rep> now_{0};
    std::atomic<std::chrono::nanoseconds::rep> pollStep_;
};
