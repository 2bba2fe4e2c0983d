#pragma once

#include <functional>
#include <optional>

namespace tarvo {

// Runs work on a thread of its own and returns once it has ended, as a blocking call would: meanwhile
// the calling thread's windows keep painting and its timers fire, but they take no input. The keys and
// clicks the user makes meanwhile wait, and arrive only after the call has returned (after whatever the
// caller does next on this thread, such as reading the windows' data again), so that nothing typed
// during the work is lost to it. The work must use nothing of the calling thread that is not safe to
// share (a Qt SQL connection is not: it opens its own).
void runInBackground(const std::function<void()>& work);

// The same, for work with a result.
template <class Result>
Result runInBackground(const std::function<Result()>& work)
{
    std::optional<Result> result;
    runInBackground(std::function<void()>([&] { result.emplace(work()); }));
    return std::move(*result);
}

} // namespace tarvo
