// The plain libraries' fork-join: every job once, on the threads asked at
// once (this one among them), and a job's exception thrown again only once
// every thread is joined. No test waits on time: the jobs wait for one
// another, with a bound that fails the test rather than hang it.
#include "runtime/EnParallele.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

constexpr std::chrono::seconds kAttente{20}; // a bound only: the jobs meet long before

// Jobs that wait for one another: Arriver returns once `attendus` have arrived.
class RendezVous {
public:
    explicit RendezVous(int attendus) : attendus_(attendus) {}
    bool Arriver()
    {
        std::unique_lock<std::mutex> garde(verrou_);
        ++arrives_;
        fils_.insert(std::this_thread::get_id());
        signal_.notify_all();
        return signal_.wait_for(garde, kAttente, [this] { return arrives_ >= attendus_; });
    }
    void Ouvrir()
    {
        const std::lock_guard<std::mutex> garde(verrou_);
        arrives_ = attendus_;
        signal_.notify_all();
    }
    std::set<std::thread::id> Fils()
    {
        const std::lock_guard<std::mutex> garde(verrou_);
        return fils_;
    }

private:
    std::mutex verrou_;
    std::condition_variable signal_;
    int attendus_;
    int arrives_ = 0;
    std::set<std::thread::id> fils_;
};

} // namespace

TEST(EnParallele, runs_every_job_once_whatever_the_threads)
{
    for (const auto& [nombre, fils] : {std::pair<std::size_t, std::size_t>{0, 4}, {1, 4}, {3, 8}, {1000, 1},
                                       {1000, 3}, {1000, 0}}) {
        std::vector<std::atomic<int>> fois(nombre);
        EnParallele(nombre, [&](std::size_t i) { ++fois[i]; }, fils);
        std::size_t uneFois = 0;
        for (const auto& f : fois)
            uneFois += f.load() == 1;
        EXPECT_EQ(uneFois, nombre) << nombre << " jobs on " << fils << " threads";
    }
}

TEST(EnParallele, runs_its_jobs_at_once_on_as_many_threads_as_asked_the_caller_among_them)
{
    // Each of the three jobs waits for the two others: three threads must
    // hold them at the same time.
    RendezVous ensemble(3);
    std::atomic<int> rejoints{0};
    EnParallele(3, [&](std::size_t) { rejoints += ensemble.Arriver(); }, 3);
    EXPECT_EQ(rejoints.load(), 3);
    const std::set<std::thread::id> fils = ensemble.Fils();
    EXPECT_EQ(fils.size(), 3u);
    EXPECT_EQ(fils.count(std::this_thread::get_id()), 1u);
}

TEST(EnParallele, a_job_that_throws_stops_the_rest_and_is_thrown_again_once_every_thread_is_joined)
{
    // On one thread: the jobs before the one that throws ran, none after it.
    std::vector<std::size_t> faits;
    EXPECT_THROW(EnParallele(
                     100,
                     [&](std::size_t i) {
                         if (i == 7)
                             throw std::runtime_error("7");
                         faits.push_back(i);
                     },
                     1),
                 std::runtime_error);
    EXPECT_EQ(faits, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6}));

    // On four: job 3 is still at work when job 7 throws; the call must not
    // return before it ends.
    RendezVous lance(2); // job 3 and the throw
    std::atomic<int> commences{0}, finis{0};
    try {
        EnParallele(
            100,
            [&](std::size_t i) {
                ++commences;
                if (i == 7) {
                    lance.Ouvrir();
                    throw std::invalid_argument("job 7");
                }
                if (i == 3)
                    lance.Arriver();
                ++finis;
            },
            4);
        ADD_FAILURE() << "nothing thrown";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "job 7");
    }
    EXPECT_EQ(finis.load(), commences.load() - 1);
}
