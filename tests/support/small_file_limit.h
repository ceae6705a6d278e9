#pragma once

#include <sys/resource.h>

#include <csignal>

namespace kavrin::testing {

// While it lives, no file this process writes may grow past a few bytes: a write beyond fails
// with EFBIG (the signal that would stop the process is ignored meanwhile), as on a full disk.
class SmallFileLimit {
public:
    SmallFileLimit()
    {
        getrlimit(RLIMIT_FSIZE, &m_limit);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small { 4, m_limit.rlim_max };
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~SmallFileLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_limit);
        std::signal(SIGXFSZ, m_handler);
    }
    SmallFileLimit(const SmallFileLimit&) = delete;
    SmallFileLimit& operator=(const SmallFileLimit&) = delete;

private:
    rlimit m_limit {};
    void (*m_handler)(int) { SIG_DFL };
};

}
