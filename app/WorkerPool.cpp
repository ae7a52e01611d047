#include "app/WorkerPool.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace plumwick {

int DefaultJobCount()
{
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

void RunInParallel(std::size_t count, int jobs, const std::function<void(std::size_t)>& work)
{
    const std::size_t threads = std::min<std::size_t>(count, jobs > 0 ? jobs : DefaultJobCount());
    std::atomic<std::size_t> next{0};
    auto drain = [&] {
        for (std::size_t i = next++; i < count; i = next++) work(i);
    };
    if (threads <= 1) {
        drain();
        return;
    }
    std::vector<std::jthread> pool;
    pool.reserve(threads - 1);
    for (std::size_t t = 1; t < threads; ++t) pool.emplace_back(drain);
    drain();
}

}  // namespace plumwick
