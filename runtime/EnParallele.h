#pragma once
// A bounded fork-join for the plain libraries: `nombre` independent jobs,
// tache(i) for each i below `nombre`, taken in turn by `fils` threads (this
// one among them) and all joined before the call returns.
//
// It is the one way the program runs work on several threads outside the
// worker idiom (workers/FilDeTravail.h), and the only one allowed inside a
// library with no Qt: the command line (`nelvar --classe`) has no event loop
// to give a worker its work, and a fork-join needs none. It stays safe
// because nothing outlives the call (every thread is joined before it
// returns, on an exception too) and nothing is shared but each job's own
// output slot: tache(i) writes only what belongs to i (element i of a vector
// sized beforehand), the rest it only reads.
//
// A job that throws: the jobs not yet taken are not started, every thread
// is joined, and the exception of the first job that threw is thrown again
// to the caller. A system that refuses a new thread leaves the work to the
// threads already started and this one.
//
//   std::vector<double> carres(n);
//   EnParallele(n, [&](std::size_t i) { carres[i] = double(i) * double(i); });
#include <cstddef>
#include <functional>

// The threads used for `nombre` jobs: the processor's cores, no more than
// `maximum` (reading files, a few threads already keep a disk busy) nor than
// jobs; at least one when there is a job.
inline constexpr std::size_t kFilsParallelesMaximum = 8;
std::size_t FilsPour(std::size_t nombre, std::size_t maximum = kFilsParallelesMaximum);

void EnParallele(std::size_t nombre, const std::function<void(std::size_t i)>& tache);
// With the number of threads given (`fils` ≥ 1, this one among them).
void EnParallele(std::size_t nombre, const std::function<void(std::size_t i)>& tache, std::size_t fils);
