// SPDX-License-Identifier: MIT
#pragma once

#include <cerrno>
#include <unistd.h>
#include <utility>

// Owns one POSIX file descriptor and closes it when it goes out of scope. A descriptor below zero
// (a failed open) is held as "none", so the result of open() can be wrapped before it is checked.
class UniqueFd
{
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) noexcept : m_fd(fd) {}
    ~UniqueFd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd(UniqueFd&& other) noexcept : m_fd(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        if (this != &other) {
            if (m_fd >= 0)
                ::close(m_fd);
            m_fd = other.release();
        }
        return *this;
    }

    int get() const noexcept { return m_fd; }
    bool isValid() const noexcept { return m_fd >= 0; }

    // Gives the descriptor up without closing it.
    int release() noexcept { return std::exchange(m_fd, -1); }

    // Closes now, so that a failing close (a late write error on some file systems) can be
    // reported: 0, or errno. The descriptor is gone either way.
    int close() noexcept
    {
        if (m_fd < 0)
            return EBADF;
        const int rc = ::close(std::exchange(m_fd, -1));
        return rc == 0 ? 0 : errno;
    }

private:
    int m_fd = -1;
};
