#pragma once
// Work and results handed from one thread to another through Qt's queues (a
// queued call to a worker, a queued signal back to the window), made visible
// to ThreadSanitizer.
//
// Qt's event queue is guarded by a lock that ThreadSanitizer does not see:
// Qt is not built with it, and its mutexes and wait conditions wait on
// futexes directly. What a thread wrote before queuing a call or emitting a
// queued signal, and what the receiving thread reads once it runs it, would
// then look unordered. Each side says it here, under the same key: the
// sender hands over everything it wrote so far (an Envoi around the queuing
// or the emit), the receiver takes it as it starts (Arrivee). The writes Qt
// makes while queuing (the call, or the signal's arguments, copied into its
// event) come after the hand-off's start and belong to it: they are left
// out of the checks while the Envoi lasts.
//
// Only in ThreadSanitizer builds; elsewhere these are empty.
#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>

// ThreadSanitizer's runtime: the calling thread's memory accesses are not
// checked between the two calls (its synchronisation still is).
extern "C" void AnnotateIgnoreWritesBegin(const char* file, int line);
extern "C" void AnnotateIgnoreWritesEnd(const char* file, int line);
#endif

#include <functional>

namespace Passage {

// In the sending thread, around the queuing of a call or the emit of a
// queued signal: everything written before it is handed to the Arrivee of
// the same key.
class Envoi {
public:
    explicit Envoi([[maybe_unused]] const void* cle)
    {
#if defined(__SANITIZE_THREAD__)
        __tsan_release(const_cast<void*>(cle));
        AnnotateIgnoreWritesBegin(__FILE__, __LINE__);
#endif
    }
    ~Envoi()
    {
#if defined(__SANITIZE_THREAD__)
        AnnotateIgnoreWritesEnd(__FILE__, __LINE__);
#endif
    }
    Envoi(const Envoi&) = delete;
    Envoi& operator=(const Envoi&) = delete;
};

// In the receiving thread, first thing in the queued call or slot.
inline void Arrivee([[maybe_unused]] const void* cle)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(const_cast<void*>(cle));
#endif
}

// The function a queued signal runs in the receiver's thread, taking the
// hand-off of the sender's key first. Qt holds it in a shared slot object
// that the last of its users frees, in whichever thread, by a count that
// ThreadSanitizer does not see: the destruction takes what the last call
// left (keyed by this object).
template <typename... Arguments>
class Reception {
public:
    Reception(const void* cle, std::function<void(Arguments...)> fonction) : cle_(cle), fonction_(std::move(fonction)) {}
    Reception(const Reception&) = default;
    Reception& operator=(const Reception&) = delete;
    ~Reception()
    {
#if defined(__SANITIZE_THREAD__)
        __tsan_acquire(this);
#endif
    }

    void operator()(Arguments... arguments) const
    {
        Arrivee(cle_);
        fonction_(arguments...);
#if defined(__SANITIZE_THREAD__)
        __tsan_release(const_cast<Reception*>(this));
#endif
    }

private:
    const void* cle_;
    std::function<void(Arguments...)> fonction_;
};

} // namespace Passage
