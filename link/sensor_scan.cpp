// The scan for the sensor: every port asked at once, each on a thread and a port object of its
// own, and the port a scan one port after another would pick taken as soon as it is known.
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "comm_port.h"
#include "sensor_port.h"
#include "zeko_api.h"
#include "zeko_scan.h"

namespace {

// One port's question. The port may be interrupted only once its Open has returned, which
// `opened` (under `guard`) tells the scan.
struct PortQuestion {
    CCommPort port;
    std::mutex guard;
    bool opened = false;
    bool stopped = false;
    PortScanResult result;
    bool done = false;  // under the scan's mutex
};

// Which port a scan takes: the lowest that holds the sensor, the first to answer as the sensor
// (before a deadline), or none, every port being asked to the end.
enum class Pick { Lowest, FirstToAnswer, None };

class Scan {
public:
    using Clock = std::chrono::steady_clock;

    Scan(std::span<const int> ports, long id, long baudRate, Pick pick,
         Clock::time_point deadline = Clock::time_point::max())
        : m_id(id), m_baudRate(baudRate), m_pick(pick), m_deadline(deadline) {
        for (int number : ports) {
            auto question = std::make_unique<PortQuestion>();
            question->result.port = number;
            question->port.SetErrorBoxes(false);
            m_questions.push_back(std::move(question));
        }
    }

    // The first port is asked on the calling thread while another thread starts those of the
    // others: a sensor on the first port is found as soon as one port after another finds it.
    SensorScan Run() {
        if (m_questions.empty()) return {};
        // A search against a deadline cannot wait on the first port: all go to threads.
        const std::size_t here = m_pick == Pick::FirstToAnswer ? 0 : 1;
        std::vector<std::thread> threads;
        std::thread starter([this, &threads, here] {
            for (std::size_t i = here; i < m_questions.size() && !Stopped(*m_questions[i]); ++i) {
                threads.emplace_back([q = m_questions[i].get(), this] { Ask(*q); });
            }
        });
        if (here == 1) Ask(*m_questions.front());
        const std::size_t decided = WaitForDecision();
        for (std::size_t i = 0; i < m_questions.size(); ++i) {
            if (i != decided) Stop(*m_questions[i]);
        }
        starter.join();
        for (std::thread& thread : threads) thread.join();

        SensorScan scan;
        for (std::size_t i = 0; i < m_questions.size() && i <= decided; ++i) {
            scan.ports.push_back(m_questions[i]->result);
        }
        if (decided < m_questions.size()) scan.found = m_questions[decided]->result.port;
        return scan;
    }

private:
    void Ask(PortQuestion& question) {
        PortScanResult& result = question.result;
        result.result = ZEKO_NO_PORT;
        const bool opened =
            !Stopped(question) && OpenSensorPort(question.port, result.port, m_baudRate);
        bool stopped = false;
        {
            std::lock_guard lock(question.guard);
            question.opened = opened;
            stopped = question.stopped;
        }
        if (opened && !stopped) {
            long identity = 0;
            if (ReadIdentity(question.port, &identity) != ZEKO_OK) {
                result.result = ZEKO_NO_ANSWER;
            } else if (identity == m_id) {
                result.result = ZEKO_OK;
            } else {
                result.result = ZEKO_WRONG_IDENTITY;
                result.identity = identity;
            }
        }
        question.port.Close();
        std::lock_guard lock(m_mutex);
        question.done = true;
        m_answered.notify_all();
    }

    // The index of the port taken; the number of ports when none is (or the deadline passed).
    std::size_t WaitForDecision() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            const std::size_t decided = Decided();
            if (decided != kUndecided) return decided;
            if (m_answered.wait_until(lock, m_deadline) == std::cv_status::timeout) {
                return m_questions.size();
            }
        }
    }

    static constexpr std::size_t kUndecided = static_cast<std::size_t>(-1);

    // Under m_mutex. Lowest: the first port that holds the sensor once every port below it has
    // answered otherwise.
    std::size_t Decided() const {
        if (m_pick == Pick::FirstToAnswer) {
            std::size_t done = 0;
            for (std::size_t i = 0; i < m_questions.size(); ++i) {
                if (!m_questions[i]->done) continue;
                if (m_questions[i]->result.result == ZEKO_OK) return i;
                ++done;
            }
            return done == m_questions.size() ? done : kUndecided;
        }
        std::size_t i = 0;
        while (i < m_questions.size() && m_questions[i]->done &&
               (m_questions[i]->result.result != ZEKO_OK || m_pick == Pick::None)) {
            ++i;
        }
        return i == m_questions.size() || m_questions[i]->done ? i : kUndecided;
    }

    static bool Stopped(PortQuestion& question) {
        std::lock_guard lock(question.guard);
        return question.stopped;
    }

    static void Stop(PortQuestion& question) {
        std::lock_guard lock(question.guard);
        question.stopped = true;
        if (question.opened) question.port.Interrupt();
    }

    const long m_id;
    const long m_baudRate;
    const Pick m_pick;
    const Clock::time_point m_deadline;
    std::vector<std::unique_ptr<PortQuestion>> m_questions;
    std::mutex m_mutex;
    std::condition_variable m_answered;
};

}  // namespace

SensorScan ScanForSensor(std::span<const int> ports, long id, long baudRate) {
    if (!IsAcceptedBaudRate(baudRate)) {
        SensorScan refused;
        for (int number : ports) refused.ports.push_back({number, ZEKO_BAD_ARGUMENT, 0});
        return refused;
    }
    return Scan(ports, id, baudRate, Pick::Lowest).Run();
}

SensorScan FindSensorAgain(std::span<const int> ports, long id, long baudRate,
                           std::chrono::milliseconds limit) {
    if (!IsAcceptedBaudRate(baudRate)) return ScanForSensor(ports, id, baudRate);
    return Scan(ports, id, baudRate, Pick::FirstToAnswer, Scan::Clock::now() + limit).Run();
}

std::vector<PortScanResult> AskPorts(std::span<const int> ports, long id, long baudRate) {
    if (!IsAcceptedBaudRate(baudRate)) return ScanForSensor(ports, id, baudRate).ports;
    return Scan(ports, id, baudRate, Pick::None).Run().ports;
}
