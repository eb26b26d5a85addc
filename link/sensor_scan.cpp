// The scan for the sensor: every port asked at once, each on a thread and a port object of its
// own, and the port a scan one port after another would pick taken as soon as it is known.
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

class Scan {
public:
    Scan(std::span<const int> ports, long id, long baudRate, bool stopAtSensor)
        : m_id(id), m_baudRate(baudRate), m_stopAtSensor(stopAtSensor) {
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
        std::vector<std::thread> threads;
        std::thread starter([this, &threads] {
            for (std::size_t i = 1; i < m_questions.size() && !Stopped(*m_questions[i]); ++i) {
                threads.emplace_back([q = m_questions[i].get(), this] { Ask(*q); });
            }
        });
        Ask(*m_questions.front());
        const std::size_t decided = WaitForDecision();
        for (std::size_t i = decided + 1; i < m_questions.size(); ++i) Stop(*m_questions[i]);
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

    // The index of the lowest port that holds the sensor once every port below it has
    // answered otherwise (when the scan stops there); the number of ports when none does.
    std::size_t WaitForDecision() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            std::size_t i = 0;
            while (i < m_questions.size() && m_questions[i]->done &&
                   (m_questions[i]->result.result != ZEKO_OK || !m_stopAtSensor)) {
                ++i;
            }
            if (i == m_questions.size() || m_questions[i]->done) return i;
            m_answered.wait(lock);
        }
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
    const bool m_stopAtSensor;
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
    return Scan(ports, id, baudRate, true).Run();
}

std::vector<PortScanResult> AskPorts(std::span<const int> ports, long id, long baudRate) {
    if (!IsAcceptedBaudRate(baudRate)) return ScanForSensor(ports, id, baudRate).ports;
    return Scan(ports, id, baudRate, false).Run().ports;
}
