// A file opened for reading by its descriptor, closed when its holder goes, however the reading ends
// (a reader's sink may leave by throwing).
#pragma once

#include <cstring>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace app
{

class ReadOnlyFile
{
public:
    // On failure IsOpen is false and errno tells why.
    explicit ReadOnlyFile(const std::string& path) : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~ReadOnlyFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    int Fd() const { return m_fd; }

private:
    int m_fd;
};

// How both readers word a file that failed them: "cannot open: REASON" or "cannot read: REASON",
// with the system's reason for `error` (an errno value).
inline std::string FileFailure(const char* action, int error)
{
    return std::string("cannot ") + action + ": " + std::strerror(error);
}

} // namespace app
