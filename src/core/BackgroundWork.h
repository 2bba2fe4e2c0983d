#pragma once

#include <functional>
#include <optional>

namespace tarvo {

// Runs work on a thread of its own and returns once it has ended. Meanwhile the calling thread's events
// keep flowing (windows repaint, timers fire, clicks arrive), as under a modal dialog: the caller keeps
// refused whatever must not start while the work runs. The work must use nothing of the calling thread
// that is not safe to share (a Qt SQL connection is not: it opens its own).
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
