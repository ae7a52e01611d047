#pragma once

#include <cstddef>
#include <functional>

namespace plumwick {

// The number of jobs used when none is asked for: the machine's cores, at least 1.
int DefaultJobCount();

// Calls Work(0) .. Work(Count - 1), each exactly once, on up to Jobs threads (DefaultJobCount() when Jobs is
// 0 or less) and returns when all are done. Work must not throw.
void RunInParallel(std::size_t count, int jobs, const std::function<void(std::size_t)>& work);

}  // namespace plumwick
