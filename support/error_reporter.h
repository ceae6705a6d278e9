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

    // A control character in the message (a newline in a path, say) is written as an escape, so
    // that one message is one line.
    void report(std::ostream& errors, std::string_view message) const
    {
        std::ostream& line = begin(errors);
        for (const char c : message) {
            if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) {
                line << c;
            } else if (c == '\n') {
                line << "\\n";
            } else if (c == '\t') {
                line << "\\t";
            } else {
                constexpr char kDigits[] = "0123456789abcdef";
                line << "\\x" << kDigits[(static_cast<unsigned char>(c) >> 4) & 0xf] << kDigits[static_cast<unsigned char>(c) & 0xf];
            }
        }
        line << '\n';
    }
    // The stream with "PROGRAM: " written, for a message put together with <<, ended with '\n'.
    std::ostream& begin(std::ostream& errors) const { return errors << m_program << ": "; }
    std::string_view program() const { return m_program; }

private:
    std::string_view m_program;
};

}
