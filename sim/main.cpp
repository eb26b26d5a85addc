// kq-sensor-sim: the simulated sensor as a command, for the demo and for trying the tool by hand.
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "console.h"
#include "options.h"
#include "pty_server.h"

namespace {

// Signals arrive through a descriptor, so the main thread sleeps in one poll for them and for
// stdin; they are blocked before the server's thread starts, which inherits the mask.
int SignalDescriptor() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    return signalfd(-1, &signals, SFD_CLOEXEC);
}

// Runs stdin commands until quit or a signal. End of input only stops the reading: started in
// the background with no terminal, the sensor keeps serving.
void Serve(sim::Console& console, int signals) {
    std::string pending;
    bool reading = true;
    while (true) {
        std::array<pollfd, 2> fds{{{signals, POLLIN, 0}, {reading ? 0 : -1, POLLIN, 0}}};
        if (poll(fds.data(), fds.size(), -1) < 0) {
            continue;
        }
        if (fds[0].revents & POLLIN) {
            return;
        }
        if (fds[1].revents == 0) {
            continue;
        }
        std::array<char, 512> buffer{};
        const ssize_t n = read(0, buffer.data(), buffer.size());
        if (n <= 0) {
            reading = false;
            continue;
        }
        pending.append(buffer.data(), static_cast<std::size_t>(n));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            const auto outcome = console.Execute(std::string_view(pending).substr(0, end));
            pending.erase(0, end + 1);
            if (!outcome.text.empty()) {
                std::cout << outcome.text << std::endl;
            }
            if (outcome.quit) {
                return;
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const auto parsed = sim::ParseOptions(args, std::getenv("KQ_PORTS_DIR"));
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        std::cerr << "kq-sensor-sim: " << *error << "\n\n" << sim::Usage();
        return 2;
    }
    const auto& options = std::get<sim::Options>(parsed);
    if (options.help) {
        std::cout << sim::Usage();
        return 0;
    }
    // A reader of stdout going away must not keep the link from being removed.
    signal(SIGPIPE, SIG_IGN);
    const int signals = SignalDescriptor();
    if (signals < 0) {
        std::perror("kq-sensor-sim: signalfd");
        return 1;
    }
    try {
        sim::PtyServer server(options.portsDir, options.com);
        if (options.identity) {
            server.WithModel(
                [&](sim::SensorModel& model) { model.SetIdentity(*options.identity); });
        }
        server.SetReplyDelay(options.delay);
        server.SetSilent(options.silent);
        std::cout << "kq-sensor-sim: COM" << options.com << " is " << server.LinkPath().string()
                  << " -> " << server.SlavePath() << "\n"
                  << "type help for commands" << std::endl;
        sim::Console console(server);
        Serve(console, signals);
    } catch (const std::exception& error) {
        std::cerr << "kq-sensor-sim: " << error.what() << "\n";
        return 1;
    }
    std::cout << "kq-sensor-sim: stopped" << std::endl;
    return 0;
}
