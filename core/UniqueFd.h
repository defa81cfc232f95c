// SPDX-License-Identifier: Apache-2.0
// Owns a POSIX file descriptor and closes it once.
#pragma once

#include <unistd.h>
#include <utility>

namespace vellmark {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd(UniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            Reset();
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }
    ~UniqueFd() { Reset(); }

    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }

    // Gives the descriptor up without closing it.
    int Release() { return std::exchange(m_fd, -1); }

private:
    void Reset() {
        if (m_fd >= 0)
            ::close(std::exchange(m_fd, -1));
    }
    int m_fd = -1;
};

} // namespace vellmark
