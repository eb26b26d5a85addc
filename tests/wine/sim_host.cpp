// kq-wine-sim-host: serves simulated sensors on ptys for link tests that run as Windows programs
// under Wine. A test connects over loopback TCP and drives its sensors with the line protocol of
// sim_wire.h; the sensors live as long as that connection. One connection at a time: the
// tests under Wine share the prefix's COM ports and so run one after another.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <system_error>

#include "pty_server.h"
#include "sensor_model_state.h"
#include "sim_wire.h"

namespace {

namespace fs = std::filesystem;
using Sensors = std::map<int, std::unique_ptr<sim::PtyServer>>;
using Words = std::vector<std::string>;

constexpr int kBacklog = 4;

std::optional<long> Number(const std::string& text) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string Bool(bool value) { return value ? "1" : "0"; }

// Answers one request line; a sensor comes into being with "open".
std::string Answer(const Words& words, const fs::path& portsDir, Sensors& sensors) {
    if (words.size() < 2) return "error request without a COM number";
    const std::string& verb = words[0];
    const std::optional<long> com = Number(words[1]);
    if (!com) return "error bad COM number";
    if (verb == "open") {
        auto& sensor = sensors[static_cast<int>(*com)];
        if (!sensor) sensor = std::make_unique<sim::PtyServer>(portsDir, static_cast<int>(*com));
        return sim::wire::kOk;
    }
    const auto found = sensors.find(static_cast<int>(*com));
    if (found == sensors.end()) return "error no sensor on that COM number";
    sim::PtyServer& sensor = *found->second;
    const auto number = [&](std::size_t at) {
        return at < words.size() ? Number(words[at]) : std::nullopt;
    };
    const auto bytes = [&](std::size_t at) {
        return at < words.size() ? sim::wire::Unhex(words[at]) : std::nullopt;
    };

    if (verb == "close") {
        sensors.erase(found);
    } else if (verb == "script") {
        const auto kind = number(2), delay = number(3), gap = number(4), parameter = number(5);
        const auto raw = bytes(6);
        if (!kind || !delay || !gap || !parameter || !raw) return "error bad script";
        sim::Reply reply;
        reply.kind = static_cast<sim::Reply::Kind>(*kind);
        reply.delay = std::chrono::milliseconds(*delay);
        reply.byteGap = std::chrono::milliseconds(*gap);
        reply.parameter = static_cast<int>(*parameter);
        reply.bytes = *raw;
        sensor.Script(reply);
    } else if (verb == "silent" && number(2)) {
        sensor.SetSilent(*number(2) != 0);
    } else if (verb == "delay" && number(2)) {
        sensor.SetReplyDelay(std::chrono::milliseconds(*number(2)));
    } else if (verb == "send" && bytes(2)) {
        sensor.SendRaw(*bytes(2));
    } else if (verb == "hangup") {
        sensor.HangUp();
    } else if (verb == "relink") {
        sensor.Relink();
    } else if (verb == "clear") {
        sensor.ClearLog();
    } else if (verb == "requests") {
        // Each request with how long ago it arrived, which the other process's clock can place.
        std::string answer = sim::wire::kOk;
        const auto now = std::chrono::steady_clock::now();
        for (const sim::Received& r : sensor.Requests()) {
            const auto age = std::chrono::duration_cast<std::chrono::microseconds>(now - r.at);
            answer += " " + sim::wire::Hex(r.bytes) + " " + std::to_string(age.count());
        }
        return answer;
    } else if (verb == "received") {
        return std::string(sim::wire::kOk) + " " + sim::wire::Hex(sensor.ReceivedBytes());
    } else if (verb == "wait" && number(2) && number(3)) {
        const bool arrived = sensor.WaitForRequests(static_cast<std::size_t>(*number(2)),
                                                    std::chrono::milliseconds(*number(3)));
        return std::string(sim::wire::kOk) + " " + Bool(arrived);
    } else if (verb == "model") {
        std::vector<std::uint8_t> state;
        sensor.WithModel(
            [&](sim::SensorModel& model) { state = sim::SensorModelState::Save(model); });
        return std::string(sim::wire::kOk) + " " + sim::wire::Hex(state);
    } else if (verb == "setmodel" && bytes(2)) {
        bool loaded = false;
        sensor.WithModel([&](sim::SensorModel& model) {
            loaded = sim::SensorModelState::Load(model, *bytes(2));
        });
        if (!loaded) return "error bad model state";
    } else if (verb == "state") {
        const std::string slave = sensor.SlavePath();
        return std::string(sim::wire::kOk) + " " + Bool(sensor.Connected()) + " " +
               Bool(sensor.Silent()) + " " + std::to_string(sensor.ReplyDelay().count()) + " " +
               (slave.empty() ? sim::wire::kEmpty : slave) + " " + sensor.LinkPath().string();
    } else {
        return "error unknown request " + verb;
    }
    return sim::wire::kOk;
}

// Serves one test's connection until it closes; its sensors go with it.
void Serve(int connection, const fs::path& portsDir) {
    Sensors sensors;
    std::string pending;
    char chunk[4096];
    for (;;) {
        const ssize_t got = read(connection, chunk, sizeof chunk);
        if (got <= 0) break;
        pending.append(chunk, static_cast<std::size_t>(got));
        std::size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            std::string answer;
            try {
                answer = Answer(sim::wire::Words(pending.substr(0, end)), portsDir, sensors);
            } catch (const std::exception& e) {
                answer = std::string("error ") + e.what();
            }
            pending.erase(0, end + 1);
            answer += '\n';
            if (write(connection, answer.data(), answer.size()) !=
                static_cast<ssize_t>(answer.size())) {
                return;
            }
        }
    }
}

int Listen(const fs::path& portFile) {
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0) throw std::system_error(errno, std::generic_category(), "socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, kBacklog) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::system_error(errno, std::generic_category(), "listen");
    }
    // Written whole and then renamed, so the runner never reads half a number.
    const fs::path staged = portFile.string() + ".new";
    std::ofstream(staged) << "127.0.0.1:" << ntohs(address.sin_port) << "\n";
    fs::rename(staged, portFile);
    return listener;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PORTS_DIR ADDRESS_FILE\n", argv[0]);
        return 2;
    }
    try {
        const int listener = Listen(argv[2]);
        for (;;) {
            const int connection = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0) {
                if (errno == EINTR || errno == ECONNABORTED) continue;
                throw std::system_error(errno, std::generic_category(), "accept");
            }
            Serve(connection, argv[1]);
            close(connection);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kq-wine-sim-host: %s\n", e.what());
        return 1;
    }
}
