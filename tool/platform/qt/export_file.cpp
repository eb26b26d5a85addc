#include "export_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

namespace {

constexpr mode_t kNewFileMode = 0666;  // narrowed by the umask, as for any new file

int WriteAll(int fd, const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno != EINTR) {
            return errno;
        }
        if (written > 0) {
            done += static_cast<std::size_t>(written);
        }
    }
    return 0;
}

// The errno of the step that failed, else 0. The rename replaces a symbolic link planted on the
// name without following it.
int SaveFile(const std::string& name, const std::string& bytes) {
    std::string temporary = name + ".XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    // mkostemp makes the file private; the export gets the mode any new file gets.
    const mode_t mask = umask(0);
    umask(mask);
    int error = fchmod(fd, kNewFileMode & ~mask) == 0 ? 0 : errno;
    if (error == 0) {
        error = WriteAll(fd, bytes);
    }
    if (error == 0 && fsync(fd) != 0) {
        error = errno;
    }
    if (close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && std::rename(temporary.c_str(), name.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        unlink(temporary.c_str());
    }
    return error;
}

}  // namespace

std::tm LocalTime(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    return local;
}

std::optional<std::string> SaveWholeFile(const std::string& name, const std::string& bytes) {
    if (const int error = SaveFile(name, bytes); error != 0) {
        return std::generic_category().message(error);
    }
    return std::nullopt;
}
