// A fresh folder for port links, removed with everything in it when it goes.
#pragma once

#include <filesystem>

class PortsDir {
public:
    PortsDir();  // fails the test when it cannot be made
    ~PortsDir();
    PortsDir(const PortsDir&) = delete;
    PortsDir& operator=(const PortsDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};
