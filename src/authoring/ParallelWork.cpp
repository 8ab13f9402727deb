#include "authoring/ParallelWork.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/posix/DeferredTermination.h"

namespace anthora {

void ForEachInParallel(std::size_t count, unsigned threads,
                       const std::function<void(std::size_t)>& work) {
  constexpr std::size_t kMaxThreads = 16;  // each may hold a decoded photo
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  threads = static_cast<unsigned>(std::min<std::size_t>({threads, count, kMaxThreads}));
  std::atomic<std::size_t> next = 0;
  const auto run = [&] {
    for (std::size_t i = next++; i < count && !DeferredTermination::Pending(); i = next++) work(i);
  };
  std::vector<std::jthread> helpers;
  for (std::size_t k = 1; k < threads; ++k) {
    try {
      helpers.emplace_back(run);
    } catch (const std::system_error&) {
      break;
    }
  }
  run();
}

}  // namespace anthora
