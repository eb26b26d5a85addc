// The kq-sensor-sim operator's commands: one line in, one acknowledgement out, acting on the
// running server and its model.
#pragma once

#include <string>
#include <string_view>

#include "pty_server.h"

namespace sim {

class Console {
public:
    explicit Console(PtyServer& server) : m_server(server) {}

    struct Outcome {
        std::string text;  // the acknowledgement, one or more lines without a final newline
        bool quit = false;
    };
    Outcome Execute(std::string_view line);

    static std::string Help();

private:
    std::string Status() const;

    PtyServer& m_server;
};

}  // namespace sim
