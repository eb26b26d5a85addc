#include "link_worker.h"

#include <memory>
#include <utility>

namespace {

thread_local LinkWorker* t_current = nullptr;

}  // namespace

LinkWorker::LinkWorker(CWnd& window, UINT message)
    : m_window(window), m_message(message), m_thread([this] { Run(); }) {}

void LinkWorker::Ask(Exchange exchange) {
    ++m_unfinished;
    {
        const std::scoped_lock lock(m_mutex);
        m_asked.push_back(std::move(exchange));
    }
    m_changed.notify_all();
}

// A result can open a box, whose event loop may show later results meanwhile: each is taken out
// before it runs.
void LinkWorker::ShowResults() {
    for (;;) {
        Pending pending;
        {
            const std::scoped_lock lock(m_mutex);
            if (m_results.empty()) {
                return;
            }
            pending = std::move(m_results.front());
            m_results.pop_front();
        }
        pending.show();
        if (pending.asked) {
            --m_unfinished;
        }
    }
}

void LinkWorker::Stop() {
    if (!m_thread.joinable()) {
        return;
    }
    {
        const std::scoped_lock lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
    const std::scoped_lock lock(m_mutex);
    m_asked.clear();
    m_results.clear();
    m_unfinished = 0;
}

LinkWorker* LinkWorker::Current() { return t_current; }

// The flag is shared: a worker that gave up leaves a box that may still be open.
void LinkWorker::OnWindowThread(std::function<void()> show) {
    const auto shown = std::make_shared<bool>(false);
    Deliver({.show =
                 [this, shown, show = std::move(show)] {
                     show();
                     {
                         const std::scoped_lock lock(m_mutex);
                         *shown = true;
                     }
                     m_changed.notify_all();
                 },
             .asked = false});
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return *shown || m_stopping; });
}

void LinkWorker::Run() {
    t_current = this;
    for (;;) {
        Exchange exchange;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] { return m_stopping || !m_asked.empty(); });
            if (m_stopping) {
                return;
            }
            exchange = std::move(m_asked.front());
            m_asked.pop_front();
        }
        Deliver({.show = exchange(), .asked = true});
    }
}

void LinkWorker::Deliver(Pending pending) {
    {
        const std::scoped_lock lock(m_mutex);
        m_results.push_back(std::move(pending));
    }
    m_window.PostMessage(m_message);
}
