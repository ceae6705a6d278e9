#pragma once

#include <ostream>
#include <string_view>

namespace kavrin::support {

// The one way our programs say what went wrong: a line "PROGRAM: message" on the stream they keep
// for it, which is standard error, so that standard output carries only what a program produces
// (URLs, JSON answers, picture names). Each program has one, named once.
class ErrorReporter {
public:
    constexpr explicit ErrorReporter(std::string_view program)
        : m_program(program) { }

    void report(std::ostream& errors, std::string_view message) const { begin(errors) << message << '\n'; }
    // The stream with "PROGRAM: " written, for a message put together with <<, ended with '\n'.
    std::ostream& begin(std::ostream& errors) const { return errors << m_program << ": "; }
    std::string_view program() const { return m_program; }

private:
    std::string_view m_program;
};

}
