#pragma once

#include <functional>
#include <optional>

namespace tarvo {

// Runs work on a thread of its own and returns once it has ended, as a blocking call would: meanwhile
// the calling thread's windows keep painting and its timers, queued calls and sockets go on, but the
// windows take no input. The keys, clicks and close requests of the window system that the user makes
// meanwhile are dropped, up to the moment the work ends: the work decides what comes next (a question, a
// message, windows read again), and input made before that appeared must not answer it or land in a
// field the user no longer looks at. A question that the program asks meanwhile (a window that waits for
// its answer in an event loop of its own) takes the input made after it appeared, and a window the
// program closes closes. The work must use nothing of the calling thread that is not safe to share (a
// Qt SQL connection is not: it opens its own).
void runInBackground(const std::function<void()>& work);

// The same, for work with a result.
template <class Result>
Result runInBackground(const std::function<Result()>& work)
{
    std::optional<Result> result;
    runInBackground(std::function<void()>([&] { result.emplace(work()); }));
    return std::move(*result);
}

// Drops the user's input that the window system has handed to the program but that no window has taken
// yet, as runInBackground does when the work ends: the program's own timers and calls run meanwhile.
void dropPendingInput();

} // namespace tarvo
