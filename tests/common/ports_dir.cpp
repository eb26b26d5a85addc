#include "ports_dir.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

PortsDir::PortsDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kq-ports-XXXXXX").string();
    EXPECT_NE(mkdtemp(pattern.data()), nullptr) << std::strerror(errno);
    m_path = pattern;
}

PortsDir::~PortsDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}
