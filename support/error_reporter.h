#pragma once

#include <ostream>
#include <string>
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
    void report(std::ostream& errors, std::string_view message) const { errors << line(message); }
    // The line report writes, as text, for a program that sends it on with more (a usage line).
    std::string line(std::string_view message) const
    {
        std::string text(m_program);
        text += ": ";
        for (const char c : message) {
            if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) {
                text += c;
            } else if (c == '\n') {
                text += "\\n";
            } else if (c == '\t') {
                text += "\\t";
            } else {
                constexpr char kDigits[] = "0123456789abcdef";
                text += "\\x";
                text += kDigits[(static_cast<unsigned char>(c) >> 4) & 0xf];
                text += kDigits[static_cast<unsigned char>(c) & 0xf];
            }
        }
        return text + '\n';
    }
    // The stream with "PROGRAM: " written, for a message put together with <<, ended with '\n'.
    std::ostream& begin(std::ostream& errors) const { return errors << m_program << ": "; }
    std::string_view program() const { return m_program; }

private:
    std::string_view m_program;
};

}
