#pragma once

#include <cstddef>
#include <functional>

namespace anthora {

// Calls work(i) once for every i below count, on up to `threads` threads at once (0: one per
// core, at most 16); stops handing out work when a termination signal waits. Fewer threads do
// the same work when the system gives no more.
void ForEachInParallel(std::size_t count, unsigned threads,
                       const std::function<void(std::size_t)>& work);

}  // namespace anthora
