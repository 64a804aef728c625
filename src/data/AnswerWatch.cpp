#include "data/AnswerWatch.h"

#include <sys/socket.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct Watched {
    int socket = -1;
    Clock::time_point deadline;
    bool cut = false;
};

// Shutting a socket down happens under the same lock as disarming, so a
// socket is never shut down after its owner has been told it was not.
class Watcher {
public:
    Watcher() { std::thread([this] { run(); }).detach(); }

    quint64 arm(int socket, int milliseconds)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const quint64 ticket = ++lastTicket_;
        watched_[ticket] = {socket, Clock::now() + std::chrono::milliseconds(milliseconds), false};
        changed_.notify_one();
        return ticket;
    }

    bool disarm(quint64 ticket)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = watched_.find(ticket);
        if (found == watched_.end())
            return false;
        const bool cut = found->second.cut;
        watched_.erase(found);
        return cut;
    }

private:
    void run()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            Watched *next = nullptr;
            for (auto &[ticket, watched] : watched_)
                if (!watched.cut && (!next || watched.deadline < next->deadline))
                    next = &watched;
            if (!next) {
                changed_.wait(lock);
            } else if (Clock::now() >= next->deadline) {
                ::shutdown(next->socket, SHUT_RDWR);
                next->cut = true;
            } else {
                // A copy: disarm() may erase the entry while this waits.
                const Clock::time_point deadline = next->deadline;
                changed_.wait_until(lock, deadline);
            }
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<quint64, Watched> watched_;
    quint64 lastTicket_ = 0;
};

// Lives as long as the process: its thread never ends.
Watcher &watcher()
{
    static Watcher *const instance = new Watcher;
    return *instance;
}

} // namespace

namespace AnswerWatch {

quint64 arm(int socket, int milliseconds)
{
    return watcher().arm(socket, milliseconds);
}

bool disarm(quint64 ticket)
{
    return watcher().disarm(ticket);
}

} // namespace AnswerWatch
