#pragma once
// A bound on how long a test may wait on a serial line: should the code
// under test wait for ever (a deadline lost, a poll without a timeout), the
// test ends at the bound with a message naming it, instead of holding the
// suite until its own timeout. The bound is far beyond any normal wait; it
// catches a hang, it times nothing.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

class ChienDeGarde {
public:
    explicit ChienDeGarde(std::chrono::seconds limite = std::chrono::seconds(30))
        : fil_([this, limite] {
              std::unique_lock verrou(mutex_);
              if (!fin_.wait_for(verrou, limite, [this] { return termine_; })) {
                  std::fprintf(stderr, "\n*** still waiting on the serial line after %lld s: a wait without a bound\n",
                               static_cast<long long>(limite.count()));
                  std::abort();
              }
          })
    {
    }
    ~ChienDeGarde()
    {
        {
            const std::lock_guard verrou(mutex_);
            termine_ = true;
        }
        fin_.notify_one();
        fil_.join();
    }
    ChienDeGarde(const ChienDeGarde&) = delete;
    ChienDeGarde& operator=(const ChienDeGarde&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable fin_;
    bool termine_ = false;
    std::thread fil_; // last: started once the members it uses exist
};
