// The one thread that talks to the sensor for the main dialog. Exchanges run there one at a time,
// in the order they were asked for; what each gives back is shown on the window's thread, which
// the worker wakes with a posted message, so the window keeps answering while the line is slow.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "cwnd.h"

class LinkWorker {
public:
    // What an exchange leaves for the window's thread to show.
    using Result = std::function<void()>;
    using Exchange = std::function<Result()>;

    // `window` is sent `message` whenever results wait; its handler calls ShowResults.
    LinkWorker(CWnd& window, UINT message);
    ~LinkWorker() { Stop(); }
    LinkWorker(const LinkWorker&) = delete;
    LinkWorker& operator=(const LinkWorker&) = delete;

    // From the window's thread: runs `exchange` on the worker after those asked before.
    void Ask(Exchange exchange);
    // From the window's thread: shows the results that have come back, in order.
    void ShowResults();
    // Whether something asked has not yet shown its result.
    bool Busy() const { return m_unfinished > 0; }
    // From the window's thread: lets the exchange under way end, drops the others and any wait
    // for the window, and ends the thread. Nothing is asked of the link afterwards.
    void Stop();

    // The worker whose thread this is, nullptr on any other thread.
    static LinkWorker* Current();
    // From the worker: runs `show` on the window's thread and waits until it has returned; gives
    // up without it once the worker is stopped.
    void OnWindowThread(std::function<void()> show);
    // From the worker: whether the window asked it to stop, so that a long run of exchanges ends
    // between two of them.
    bool Stopping() const { return m_stopping; }

private:
    struct Pending {
        Result show;
        bool asked;  // the result of an asked exchange, not a wait for the window
    };

    void Run();
    // Queues a result and wakes the window.
    void Deliver(Pending pending);

    CWnd& m_window;
    UINT m_message;
    int m_unfinished = 0;  // the window's thread's count
    std::mutex m_mutex;
    // Waited on with the mutex held for every change it announces: a stop token's callback
    // wake-up was lost under mingw's threads, and the window then waited for the worker forever.
    std::condition_variable m_changed;
    std::deque<Exchange> m_asked;
    std::deque<Pending> m_results;
    std::atomic<bool> m_stopping = false;
    std::thread m_thread;  // last: starts once the rest is ready
};
