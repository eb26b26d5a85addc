// Serves the simulated sensor on a pseudo-terminal linked as <ports dir>/COM<n>, on a thread of
// its own, so tests in the same process and the kq-sensor-sim command talk to it over a real tty.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sensor_model.h"

namespace sim {

// One scripted answer, used in place of the model's own answer to the next request. Model and
// OtherParameter answers wait for `delay`, or for the server's reply delay when `delay` is zero;
// Raw and Overflow wait for `delay` only. Only Model and OtherParameter let the model act on the
// request.
struct Reply {
    enum class Kind {
        Model,           // the model's own answer, after `delay`
        Silence,         // no answer at all
        Raw,             // `bytes` as they are, after `delay`
        OtherParameter,  // the model's answer, but echoing `parameter` as the parameter number
        Overflow,        // more than 100 bytes without a terminator
        HangUp,          // the pty is closed instead of answering
    };
    Kind kind = Kind::Model;
    std::chrono::milliseconds delay{0};
    std::vector<std::uint8_t> bytes;
    int parameter = 0;
    // When nonzero, the answer goes out one byte at a time with this pause between bytes.
    std::chrono::milliseconds byteGap{0};
};

// A complete request as the sensor received it.
struct Received {
    std::vector<std::uint8_t> bytes;
    std::chrono::steady_clock::time_point at;
};

class PtyServer {
public:
    // Creates the pty, links it as portsDir/COM<com> and starts serving.
    PtyServer(std::filesystem::path portsDir, int com);
    ~PtyServer();  // stops serving, closes the pty and removes the link
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // The model under the server's lock; f runs while no request is being answered.
    void WithModel(const std::function<void(SensorModel&)>& f);

    void Script(Reply reply);  // queues an answer for the next request
    // Answer nothing until told otherwise; requests are still logged and the script waits.
    void SetSilent(bool silent);
    void SetReplyDelay(std::chrono::milliseconds);         // delay before every model answer
    void SendRaw(const std::vector<std::uint8_t>& bytes);  // unsolicited bytes, now
    void HangUp();  // closes the pty now; the link stays, pointing nowhere
    void Relink();  // a new pty linked at the same name, as when an adapter is plugged back

    std::vector<Received> Requests() const;           // complete requests, in order of arrival
    std::vector<std::uint8_t> ReceivedBytes() const;  // every byte received, requests or not
    // Waits (sleeping, not spinning) until at least `count` requests have arrived.
    bool WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;
    void ClearLog();

    std::filesystem::path LinkPath() const;
    std::string SlavePath() const;  // the pty's device, empty while hung up
    bool Connected() const;         // false after HangUp until Relink
    bool Silent() const;
    std::chrono::milliseconds ReplyDelay() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace sim
