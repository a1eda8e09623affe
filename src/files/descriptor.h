#pragma once

#include <QByteArray>

#include <unistd.h>

#include <utility>

// An open file descriptor, closed when it goes.
class Descriptor
{
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(Descriptor &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Descriptor &operator=(Descriptor &&other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return m_fd; }
    // A path that names the open file, for calls that take no descriptor.
    static QByteArray path(int fd) { return "/proc/self/fd/" + QByteArray::number(fd); }
    bool isOpen() const { return m_fd >= 0; }
    // Closes now, so that a failure to close is seen.
    bool close() { return ::close(std::exchange(m_fd, -1)) == 0; }

private:
    int m_fd = -1;
};
