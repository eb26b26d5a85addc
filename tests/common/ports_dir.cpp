#include "ports_dir.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

// Built for Windows, the sensors and the folder their links live in belong to the Linux process
// that serves them (tests/wine), so there is nothing to make here.
PortsDir::PortsDir() {
#if !defined(_WIN32)
    std::string pattern = (std::filesystem::temp_directory_path() / "kq-ports-XXXXXX").string();
    EXPECT_NE(mkdtemp(pattern.data()), nullptr) << std::strerror(errno);
    m_path = pattern;
#endif
}

PortsDir::~PortsDir() {
    if (m_path.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}
