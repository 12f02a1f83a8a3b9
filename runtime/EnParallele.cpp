#include "runtime/EnParallele.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

std::size_t FilsPour(std::size_t nombre, std::size_t maximum)
{
    const std::size_t coeurs = std::max(1u, std::thread::hardware_concurrency());
    return std::min({coeurs, nombre, std::max<std::size_t>(maximum, 1)});
}

void EnParallele(std::size_t nombre, const std::function<void(std::size_t i)>& tache)
{
    EnParallele(nombre, tache, FilsPour(nombre));
}

void EnParallele(std::size_t nombre, const std::function<void(std::size_t i)>& tache, std::size_t fils)
{
    std::atomic<std::size_t> suivante{0};
    std::atomic<bool> arret{false};
    std::mutex verrou;
    std::exception_ptr echec; // the first job's that threw, under verrou
    const auto travailler = [&] {
        for (std::size_t i; !arret.load() && (i = suivante++) < nombre;) {
            try {
                tache(i);
            } catch (...) {
                const std::lock_guard<std::mutex> garde(verrou);
                if (!echec)
                    echec = std::current_exception();
                arret = true;
            }
        }
    };
    {
        std::vector<std::jthread> aides;
        const std::size_t total = std::min(std::max<std::size_t>(fils, 1), nombre);
        aides.reserve(total);
        try {
            for (std::size_t n = 1; n < total; ++n)
                aides.emplace_back(travailler);
        } catch (const std::system_error&) {
            // No more threads: the ones started and this one do the work.
        }
        travailler();
    } // every helper joined here
    if (echec)
        std::rethrow_exception(echec);
}
