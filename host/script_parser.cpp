#include "script_parser.h"

#include "settings_keys.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <vector>

namespace kavrin::host {

namespace {

struct Word {
    std::string_view name;
    CommandWord word;
};

constexpr Word kWords[] = {
    { "view", CommandWord::View }, { "height", CommandWord::Height }, { "appear", CommandWord::Appear },
    { "disappear", CommandWord::Disappear }, { "wait", CommandWord::Wait }, { "tap", CommandWord::Tap },
    { "tap-location", CommandWord::TapLocation }, { "scroll", CommandWord::Scroll }, { "press", CommandWord::Press },
    { "set", CommandWord::Set }, { "unset", CommandWord::Unset }, { "notify", CommandWord::Notify },
    { "dump", CommandWord::Dump }, { "render", CommandWord::Render }, { "record", CommandWord::Record },
    { "destroy", CommandWord::Destroy }, { "page", CommandWord::Page }, { "describe", CommandWord::Describe },
    { "elements", CommandWord::Elements }, { "swipe-next", CommandWord::SwipeNext }, { "swipe-previous", CommandWord::SwipePrevious },
};

bool isSpace(char character)
{
    return character == ' ' || character == '\t' || character == '\r' || character == '\v' || character == '\f';
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view withoutComment(std::string_view line)
{
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && quoted && i + 1 < line.size())
            ++i;
        else if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == '#' && !quoted)
            return line.substr(0, i);
    }
    return line;
}

// The first word and the rest of the line after it.
std::pair<std::string_view, std::string_view> splitWord(std::string_view text)
{
    text = trim(text);
    std::size_t end = 0;
    while (end < text.size() && !isSpace(text[end]))
        ++end;
    return { text.substr(0, end), trim(text.substr(end)) };
}

std::vector<std::string_view> splitWords(std::string_view text)
{
    std::vector<std::string_view> words;
    for (auto [word, rest] = splitWord(text); !word.empty(); std::tie(word, rest) = splitWord(rest))
        words.push_back(word);
    return words;
}

bool readNumber(std::string_view text, double& number)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(number);
}

// A point or offset for the views, whose geometry is in floats.
bool readCoordinate(std::string_view text, double& number)
{
    return readNumber(text, number) && std::fabs(number) <= static_cast<double>(FLT_MAX);
}

Error wrongOperands(std::string_view word, std::string_view operands)
{
    return { "'" + std::string(word) + "' takes " + std::string(operands) };
}

}

ParsedLine parseScriptLine(std::string_view line, bool settingsAsGiven)
{
    auto [name, rest] = splitWord(withoutComment(line));
    if (name.empty())
        return std::nullopt;
    const Word* found = nullptr;
    for (const Word& word : kWords)
        if (word.name == name)
            found = &word;
    if (!found)
        return Error { "unknown command '" + std::string(name) + "'" };

    ScriptCommand command;
    command.word = found->word;
    std::vector<std::string_view> operands = splitWords(rest);
    switch (command.word) {
    case CommandWord::View:
    case CommandWord::Height:
    case CommandWord::Appear:
    case CommandWord::Disappear:
    case CommandWord::Notify:
    case CommandWord::Dump:
    case CommandWord::Destroy:
    case CommandWord::Elements:
    case CommandWord::SwipeNext:
    case CommandWord::SwipePrevious:
        if (!operands.empty())
            return wrongOperands(name, "nothing");
        return command;
    case CommandWord::Wait:
        if (operands.size() != 1 || !readNumber(operands[0], command.x) || command.x < 0 || command.x > kLongestWait)
            return wrongOperands(name, "a number of seconds, 0 to 86400");
        return command;
    case CommandWord::Tap:
    case CommandWord::TapLocation:
    case CommandWord::Describe:
        if (operands.size() != 2 || !readCoordinate(operands[0], command.x) || !readCoordinate(operands[1], command.y))
            return wrongOperands(name, "two numbers, X and Y");
        return command;
    case CommandWord::Scroll:
        if (operands.size() != 1 || !readCoordinate(operands[0], command.x))
            return wrongOperands(name, "one number, the horizontal offset");
        return command;
    case CommandWord::Press: {
        double index = -1;
        if (operands.size() != 1 || !readNumber(operands[0], index) || index < 0 || index != std::floor(index) || index > 1e6)
            return wrongOperands(name, "a button index, a whole number 0 or more");
        command.index = static_cast<int>(index);
        return command;
    }
    case CommandWord::Page: {
        double page = 0;
        if (operands.size() != 1 || !readNumber(operands[0], page) || page < 1 || page != std::floor(page) || page > 1e6)
            return wrongOperands(name, "a page number, a whole number 1 or more");
        command.index = static_cast<int>(page);
        return command;
    }
    case CommandWord::Set: {
        auto [key, value] = splitWord(rest);
        if (key.empty() || value.empty())
            return wrongOperands(name, "a key and a value");
        tooling::CheckedSetting checked = tooling::checkSettingValue(key, value, settingsAsGiven);
        if (!checked.value)
            return Error { checked.refusal + " (--force stores it as given)" };
        command.key = key;
        command.value = checked.value;
        return command;
    }
    case CommandWord::Unset:
        if (operands.size() != 1)
            return wrongOperands(name, "one key");
        command.key = operands[0];
        return command;
    case CommandWord::Render:
        if (rest.empty())
            return wrongOperands(name, "a file name");
        command.file = rest;
        return command;
    case CommandWord::Record: {
        std::size_t space = rest.find_last_of(" \t");
        if (space == std::string_view::npos || !readNumber(rest.substr(space + 1), command.x) || command.x <= 0 || command.x > 600)
            return wrongOperands(name, "a file name and a number of seconds, more than 0 and at most 600");
        command.file = trim(rest.substr(0, space));
        return command;
    }
    }
    return Error { "unknown command '" + std::string(name) + "'" };
}

}
