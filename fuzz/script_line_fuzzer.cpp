// Any bytes as one line of a host script: a command, nothing, or what is wrong with it; a
// command's numbers are finite and a set carries a value.
#include "script/script_parser.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kavrin::host;
    const ParsedLine parsed = parseScriptLine(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!parsed || !*parsed)
        return 0;
    const ScriptCommand& command = **parsed;
    if (!std::isfinite(command.x) || !std::isfinite(command.y))
        std::abort();
    if (command.word == CommandWord::Set && !command.value)
        std::abort();
    return 0;
}
