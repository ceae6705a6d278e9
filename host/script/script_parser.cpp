#include "script/script_parser.h"

#include "base/message_text.h"
#include "settings_keys.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <vector>

namespace kavrin::host {

namespace {

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
        if (line[i] == '\\' && quoted)
            ++i; // the escaped character, if there is one
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

Error wrongOperands(const CommandInfo& info)
{
    return { "'" + std::string(info.word) + "' takes " + std::string(info.expected) };
}

}

ParsedLine parseScriptLine(std::string_view line, bool settingsAsGiven)
{
    auto [name, rest] = splitWord(withoutComment(line));
    if (name.empty())
        return std::nullopt;
    const CommandInfo* info = findScriptCommand(name);
    if (!info)
        return Error { "unknown command '" + quotedScriptText(name) + "'" };

    ScriptCommand command;
    command.word = info->command;
    std::vector<std::string_view> operands = splitWords(rest);
    switch (info->operands) {
    case Operands::None:
        if (!operands.empty())
            return wrongOperands(*info);
        return command;
    case Operands::Seconds:
        if (operands.size() != 1 || !readNumber(operands[0], command.x) || command.x < 0 || command.x > kLongestWait)
            return wrongOperands(*info);
        return command;
    case Operands::Point:
        if (operands.size() != 2 || !readCoordinate(operands[0], command.x) || !readCoordinate(operands[1], command.y))
            return wrongOperands(*info);
        return command;
    case Operands::Offset:
        if (operands.size() != 1 || !readCoordinate(operands[0], command.x))
            return wrongOperands(*info);
        return command;
    case Operands::Index: {
        double index = -1;
        if (operands.size() != 1 || !readNumber(operands[0], index) || index < 0 || index != std::floor(index) || index > 1e6)
            return wrongOperands(*info);
        command.index = static_cast<int>(index);
        return command;
    }
    case Operands::PageNumber: {
        double page = 0;
        if (operands.size() != 1 || !readNumber(operands[0], page) || page < 1 || page != std::floor(page) || page > 1e6)
            return wrongOperands(*info);
        command.index = static_cast<int>(page);
        return command;
    }
    case Operands::KeyAndValue: {
        auto [key, value] = splitWord(rest);
        if (key.empty() || value.empty())
            return wrongOperands(*info);
        phone_files::CheckedSetting checked = phone_files::checkSettingValue(key, value, settingsAsGiven);
        if (!checked.value)
            return Error { checked.refusal + " (--force stores it as given)" };
        command.key = key;
        command.value = checked.value;
        return command;
    }
    case Operands::Key:
        if (operands.size() != 1)
            return wrongOperands(*info);
        command.key = operands[0];
        return command;
    case Operands::File:
        if (rest.empty())
            return wrongOperands(*info);
        command.file = rest;
        return command;
    case Operands::FileAndSeconds: {
        std::size_t space = rest.find_last_of(" \t");
        if (space == std::string_view::npos || !readNumber(rest.substr(space + 1), command.x) || command.x <= 0
            || command.x > kLongestRecording)
            return wrongOperands(*info);
        command.file = trim(rest.substr(0, space));
        return command;
    }
    }
    return wrongOperands(*info);
}

}
