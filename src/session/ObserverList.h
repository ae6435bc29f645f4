#pragma once

#include <algorithm>
#include <mutex>
#include <vector>

namespace vornex {

// Observers of news that may come from several threads, told one at a time in the order they
// subscribed. The list is held while a call is handed out, so an observer removed is never called
// again once remove() returns; for the same reason no call may add or remove an observer.
template <typename Observer>
class ObserverList {
public:
    void add(Observer& observer) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (std::find(observers_.begin(), observers_.end(), &observer) == observers_.end())
            observers_.push_back(&observer);
    }
    void remove(Observer& observer) {
        const std::lock_guard<std::mutex> lock(mutex_);
        observers_.erase(std::remove(observers_.begin(), observers_.end(), &observer),
                         observers_.end());
    }
    template <typename Call>
    void notify(Call call) {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (Observer* observer : observers_)
            call(*observer);
    }

private:
    std::mutex mutex_;
    std::vector<Observer*> observers_;
};

}  // namespace vornex
