// The simulated sensor for link tests built for Windows: the same PtyServer interface, served by
// kq-wine-sim-host, a Linux process that runs the real server on a pty which the Wine prefix
// maps as the COM port. Each call is one request over a loopback connection shared by the
// process. The model stays in the Linux process: WithModel works on a copy of it, which it then
// sends back; what the server did to the model in between is overwritten.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <string>

#include "pty_server.h"
#include "sensor_model_state.h"
#include "sim_wire.h"

namespace sim {
namespace {

class HostConnection {
public:
    static HostConnection& Instance() {
        static HostConnection connection;
        return connection;
    }

    // Sends one request line and returns the words of the answer after its "ok".
    std::vector<std::string> Call(const std::string& request) {
        std::lock_guard lock(m_mutex);
        const std::string line = request + "\n";
        if (send(m_socket, line.data(), static_cast<int>(line.size()), 0) !=
            static_cast<int>(line.size())) {
            throw std::runtime_error("lost the simulated sensors' host");
        }
        std::string answer;
        for (char c = 0; c != '\n';) {
            if (recv(m_socket, &c, 1, 0) != 1)
                throw std::runtime_error("lost the simulated sensors' host");
            if (c != '\n') answer += c;
        }
        std::vector<std::string> words = wire::Words(answer);
        if (words.empty() || words[0] != wire::kOk) {
            throw std::runtime_error("simulated sensor host refused \"" + request +
                                     "\": " + answer);
        }
        words.erase(words.begin());
        return words;
    }

private:
    HostConnection() {
        const char* host = std::getenv(wire::kHostVariable);
        const std::string address = host != nullptr ? host : "";
        const std::size_t colon = address.rfind(':');
        if (colon == std::string::npos) {
            throw std::runtime_error(std::string(wire::kHostVariable) +
                                     " is not set: run these tests through ./kq windows");
        }
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup failed");
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        if (getaddrinfo(address.substr(0, colon).c_str(), address.substr(colon + 1).c_str(), &hints,
                        &found) != 0) {
            throw std::runtime_error("bad " + std::string(wire::kHostVariable) + ": " + address);
        }
        m_socket = socket(found->ai_family, found->ai_socktype, found->ai_protocol);
        const bool connected =
            m_socket != INVALID_SOCKET &&
            connect(m_socket, found->ai_addr, static_cast<int>(found->ai_addrlen)) == 0;
        freeaddrinfo(found);
        if (!connected)
            throw std::runtime_error("cannot reach the simulated sensors' host at " + address);
        // Requests are single short lines answered at once: no batching.
        const BOOL noDelay = TRUE;
        setsockopt(m_socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
                   sizeof noDelay);
    }

    std::mutex m_mutex;
    SOCKET m_socket = INVALID_SOCKET;
};

std::vector<std::uint8_t> BytesOf(const std::string& hex) {
    auto bytes = wire::Unhex(hex);
    if (!bytes) throw std::runtime_error("malformed bytes from the simulated sensors' host");
    return *bytes;
}

}  // namespace

struct PtyServer::State {
    std::string com;  // " <n>", the first argument of every request

    std::vector<std::string> Call(const std::string& verb, const std::string& arguments = "") {
        return HostConnection::Instance().Call(verb + com + arguments);
    }
};

// The ports folder is the host's: the one the Wine prefix's COM ports point into.
PtyServer::PtyServer(std::filesystem::path, int com) : m_state(std::make_unique<State>()) {
    m_state->com = " " + std::to_string(com);
    m_state->Call("open");
}

PtyServer::~PtyServer() {
    try {
        m_state->Call("close");
    } catch (const std::exception&) {
        // The host's end went first; it drops the sensors of a closed connection by itself.
    }
}

void PtyServer::WithModel(const std::function<void(SensorModel&)>& f) {
    const std::vector<std::string> state = m_state->Call("model");
    SensorModel model;
    if (state.size() != 1 || !SensorModelState::Load(model, BytesOf(state[0]))) {
        throw std::runtime_error("malformed model from the simulated sensors' host");
    }
    f(model);
    m_state->Call("setmodel", " " + wire::Hex(SensorModelState::Save(model)));
}

void PtyServer::Script(Reply reply) {
    m_state->Call("script", " " + std::to_string(static_cast<int>(reply.kind)) + " " +
                                std::to_string(reply.delay.count()) + " " +
                                std::to_string(reply.byteGap.count()) + " " +
                                std::to_string(reply.parameter) + " " + wire::Hex(reply.bytes));
}

void PtyServer::SetSilent(bool silent) { m_state->Call("silent", silent ? " 1" : " 0"); }

void PtyServer::SetReplyDelay(std::chrono::milliseconds delay) {
    m_state->Call("delay", " " + std::to_string(delay.count()));
}

void PtyServer::SendRaw(const std::vector<std::uint8_t>& bytes) {
    m_state->Call("send", " " + wire::Hex(bytes));
}

void PtyServer::HangUp() { m_state->Call("hangup"); }

void PtyServer::Relink() { m_state->Call("relink"); }

// The arrival times are those of this call: the host's clock is not this process's.
// Each request comes as its bytes and how long ago it arrived, in microseconds.
std::vector<Received> PtyServer::Requests() const {
    const std::vector<std::string> words = m_state->Call("requests");
    const auto now = std::chrono::steady_clock::now();
    if (words.size() % 2 != 0) throw std::runtime_error("malformed requests from the host");
    std::vector<Received> requests;
    for (std::size_t i = 0; i < words.size(); i += 2) {
        requests.push_back(
            {BytesOf(words[i]), now - std::chrono::microseconds(std::stoll(words[i + 1]))});
    }
    return requests;
}

std::vector<std::uint8_t> PtyServer::ReceivedBytes() const {
    return BytesOf(m_state->Call("received").at(0));
}

bool PtyServer::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
    return m_state
               ->Call("wait", " " + std::to_string(count) + " " + std::to_string(timeout.count()))
               .at(0) == "1";
}

void PtyServer::ClearLog() { m_state->Call("clear"); }

std::filesystem::path PtyServer::LinkPath() const { return m_state->Call("state").at(4); }

std::string PtyServer::SlavePath() const {
    const std::string slave = m_state->Call("state").at(3);
    return slave == wire::kEmpty ? std::string() : slave;
}

bool PtyServer::Connected() const { return m_state->Call("state").at(0) == "1"; }

bool PtyServer::Silent() const { return m_state->Call("state").at(1) == "1"; }

std::chrono::milliseconds PtyServer::ReplyDelay() const {
    return std::chrono::milliseconds(std::stol(m_state->Call("state").at(2)));
}

}  // namespace sim
