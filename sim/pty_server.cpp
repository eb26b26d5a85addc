#include "pty_server.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

#include "pty.h"
#include "request_parser.h"

namespace sim {
namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// The sensor forgets a half-received request after this much silence, so that one broken
// request does not swallow the next.
constexpr std::chrono::milliseconds kForgetPartial{500};
// An overflowing answer: more than the tool's 100-byte buffer, and no ";" anywhere.
constexpr std::size_t kOverflowLength = 120;
constexpr std::uint8_t kOverflowByte = 'X';

// Points `link` at `target`, replacing whatever is there in one step.
void PlaceLink(const fs::path& link, const std::string& target) {
    fs::create_directories(link.parent_path());
    const fs::path staged = link.parent_path() / ("." + link.filename().string() + ".new");
    fs::remove(staged);
    fs::create_symlink(target, staged);
    fs::rename(staged, link);
}

// A text answer with its parameter number replaced, as from a sensor that mixed up requests.
std::vector<std::uint8_t> EchoingParameter(std::vector<std::uint8_t> answer, int parameter) {
    if (answer.empty() || (answer[0] != 'P' && answer[0] != 'p')) {
        return answer;
    }
    auto end = answer.begin() + 1;
    if (end != answer.end() && *end == '-') {
        ++end;
    }
    while (end != answer.end() && *end >= '0' && *end <= '9') {
        ++end;
    }
    const std::string number = std::to_string(parameter);
    answer.erase(answer.begin() + 1, end);
    answer.insert(answer.begin() + 1, number.begin(), number.end());
    return answer;
}

}  // namespace

struct PtyServer::State {
    fs::path link;
    std::string linkedTo;  // the slave the link was last pointed at

    mutable std::mutex mutex;
    mutable std::condition_variable arrived;

    SensorModel model;
    Clock::time_point modelTime = Clock::now();
    RequestParser parser;
    Clock::time_point lastByte;

    std::deque<Reply> script;
    bool silent = false;
    std::chrono::milliseconds delay{0};

    std::optional<Pty> pty;
    unsigned generation = 0;  // counts ptys, so readiness seen on a closed one is ignored
    std::vector<std::uint8_t> output;
    std::multimap<Clock::time_point, std::vector<std::uint8_t>> late;

    std::vector<Received> requests;
    std::vector<std::uint8_t> received;

    int wake = -1;  // eventfd: interrupts the thread's poll
    bool stopping = false;
    std::thread thread;

    ~State() {
        if (wake >= 0) {
            close(wake);
        }
    }

    void Wake() const {
        const std::uint64_t one = 1;
        // A full counter already means a pending wake-up, so a failed write loses nothing.
        [[maybe_unused]] const auto written = write(wake, &one, sizeof one);
    }

    void OpenPty() {
        pty.reset();
        pty.emplace();
        ++generation;
        parser.Reset();
        PlaceLink(link, pty->SlavePath());
        linkedTo = pty->SlavePath();
    }

    void ClosePty() {
        pty.reset();
        ++generation;
        output.clear();
        late.clear();
        parser.Reset();
    }

    void Serve() {
        std::unique_lock lock(mutex);
        while (!stopping) {
            ReleaseLate(Clock::now());
            Flush();
            std::array<pollfd, 2> fds{};
            fds[0] = {wake, POLLIN, 0};
            fds[1] = {-1, 0, 0};
            if (pty) {
                fds[1].fd = pty->Master();
                fds[1].events = static_cast<short>(POLLIN | (output.empty() ? 0 : POLLOUT));
            }
            const int timeout = PollTimeout(Clock::now());
            const unsigned polled = generation;
            lock.unlock();
            const int ready = poll(fds.data(), fds.size(), timeout);
            lock.lock();
            if (ready <= 0) {
                continue;  // a deadline passed, or a signal: both handled at the top
            }
            if (fds[0].revents & POLLIN) {
                std::uint64_t count = 0;
                [[maybe_unused]] const auto got = read(wake, &count, sizeof count);
            }
            if (pty && generation == polled && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) {
                Receive();
            }
        }
    }

    // A test that changes how the sensor answers, or what it has heard, means the requests sent
    // so far to meet the sensor as it was: what waits on the line is taken in first, so that a
    // server thread running late cannot hand an earlier request the later behaviour.
    void TakeInWaiting() {
        if (pty) {
            Receive();
            Wake();  // answers go out from the server thread
        }
    }

    // Milliseconds until the next late answer is due, or -1 to sleep until something happens.
    int PollTimeout(Clock::time_point now) const {
        if (late.empty()) {
            return -1;
        }
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(late.begin()->first - now);
        return static_cast<int>(std::max<std::int64_t>(wait.count(), 0));
    }

    void ReleaseLate(Clock::time_point now) {
        while (!late.empty() && late.begin()->first <= now) {
            const auto& bytes = late.begin()->second;
            output.insert(output.end(), bytes.begin(), bytes.end());
            late.erase(late.begin());
        }
    }

    void Flush() {
        while (pty && !output.empty()) {
            const ssize_t n = write(pty->Master(), output.data(), output.size());
            if (n > 0) {
                output.erase(output.begin(), output.begin() + n);
            } else if (n < 0 && errno == EAGAIN) {
                return;  // the poll waits for room
            } else if (n == 0 || errno != EINTR) {
                ClosePty();
            }
        }
    }

    void Receive() {
        std::array<std::uint8_t, 256> buffer{};
        while (pty) {
            const ssize_t n = read(pty->Master(), buffer.data(), buffer.size());
            if (n > 0) {
                OnBytes(std::span(buffer.data(), static_cast<std::size_t>(n)), Clock::now());
            } else if (n < 0 && errno == EAGAIN) {
                return;
            } else if (n == 0 || errno != EINTR) {
                ClosePty();  // the line is gone; the thread sleeps until a relink
            }
        }
    }

    void OnBytes(std::span<const std::uint8_t> bytes, Clock::time_point now) {
        received.insert(received.end(), bytes.begin(), bytes.end());
        if (parser.Pending() && now - lastByte > kForgetPartial) {
            parser.Reset();
        }
        lastByte = now;
        for (Request& request : parser.Feed(bytes)) {
            if (!pty) {
                return;  // a sensor that has hung up handles nothing more
            }
            OnRequest(request, now);
        }
    }

    void OnRequest(const Request& request, Clock::time_point now) {
        requests.push_back({request.bytes, now});
        arrived.notify_all();
        if (silent) {
            return;
        }
        Reply reply;
        if (!script.empty()) {
            reply = std::move(script.front());
            script.pop_front();
        }
        const auto modelDelay = reply.delay.count() != 0 ? reply.delay : delay;
        const auto gap = reply.byteGap;
        switch (reply.kind) {
            case Reply::Kind::Model:
                Schedule(ModelAnswer(request, now), modelDelay, gap, now);
                break;
            case Reply::Kind::OtherParameter:
                Schedule(EchoingParameter(ModelAnswer(request, now), reply.parameter), modelDelay,
                         gap, now);
                break;
            case Reply::Kind::Raw:
                Schedule(std::move(reply.bytes), reply.delay, gap, now);
                break;
            case Reply::Kind::Overflow:
                Schedule(std::vector<std::uint8_t>(kOverflowLength, kOverflowByte), reply.delay,
                         gap, now);
                break;
            case Reply::Kind::Silence:
                break;
            case Reply::Kind::HangUp:
                ClosePty();
                break;
        }
    }

    std::vector<std::uint8_t> ModelAnswer(const Request& request, Clock::time_point now) {
        model.Advance(std::chrono::duration_cast<std::chrono::milliseconds>(now - modelTime));
        modelTime = now;
        return model.Answer(request);
    }

    void Schedule(std::vector<std::uint8_t> bytes, std::chrono::milliseconds after,
                  std::chrono::milliseconds gap, Clock::time_point now) {
        if (gap.count() > 0) {
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                late.emplace(now + after + gap * static_cast<int>(i),
                             std::vector<std::uint8_t>{bytes[i]});
            }
        } else if (after.count() <= 0) {
            output.insert(output.end(), bytes.begin(), bytes.end());
        } else {
            late.emplace(now + after, std::move(bytes));
        }
    }
};

PtyServer::PtyServer(std::filesystem::path portsDir, int com) : m_state(std::make_unique<State>()) {
    m_state->link = portsDir / ("COM" + std::to_string(com));
    m_state->wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_state->wake < 0) {
        throw std::system_error(errno, std::generic_category(), "eventfd");
    }
    m_state->OpenPty();
    m_state->thread = std::thread([state = m_state.get()] { state->Serve(); });
}

PtyServer::~PtyServer() {
    {
        std::lock_guard lock(m_state->mutex);
        m_state->stopping = true;
        m_state->Wake();
    }
    m_state->thread.join();
    m_state->pty.reset();
    std::error_code error;
    // Another server may have taken the name over since; its link stays.
    if (fs::read_symlink(m_state->link, error) == m_state->linkedTo) {
        fs::remove(m_state->link, error);
    }
}

void PtyServer::WithModel(const std::function<void(SensorModel&)>& f) {
    std::lock_guard lock(m_state->mutex);
    f(m_state->model);
}

void PtyServer::Script(Reply reply) {
    std::lock_guard lock(m_state->mutex);
    m_state->TakeInWaiting();
    m_state->script.push_back(std::move(reply));
}

void PtyServer::SetSilent(bool silent) {
    std::lock_guard lock(m_state->mutex);
    m_state->TakeInWaiting();
    m_state->silent = silent;
}

void PtyServer::SetReplyDelay(std::chrono::milliseconds delay) {
    std::lock_guard lock(m_state->mutex);
    m_state->TakeInWaiting();
    m_state->delay = delay;
}

void PtyServer::SendRaw(const std::vector<std::uint8_t>& bytes) {
    std::lock_guard lock(m_state->mutex);
    if (m_state->pty) {
        m_state->output.insert(m_state->output.end(), bytes.begin(), bytes.end());
        m_state->Wake();
    }
}

void PtyServer::HangUp() {
    std::lock_guard lock(m_state->mutex);
    m_state->ClosePty();
    m_state->Wake();
}

void PtyServer::Relink() {
    std::lock_guard lock(m_state->mutex);
    m_state->ClosePty();
    m_state->OpenPty();
    m_state->Wake();
}

std::vector<Received> PtyServer::Requests() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->requests;
}

std::vector<std::uint8_t> PtyServer::ReceivedBytes() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->received;
}

bool PtyServer::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_state->mutex);
    return m_state->arrived.wait_for(lock, timeout,
                                     [this, count] { return m_state->requests.size() >= count; });
}

void PtyServer::ClearLog() {
    std::lock_guard lock(m_state->mutex);
    m_state->TakeInWaiting();
    m_state->requests.clear();
    m_state->received.clear();
}

std::filesystem::path PtyServer::LinkPath() const { return m_state->link; }

std::string PtyServer::SlavePath() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->pty ? m_state->pty->SlavePath() : std::string();
}

bool PtyServer::Connected() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->pty.has_value();
}

bool PtyServer::Silent() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->silent;
}

std::chrono::milliseconds PtyServer::ReplyDelay() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->delay;
}

}  // namespace sim
