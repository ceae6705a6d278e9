#include "help_text.h"

#include <algorithm>

namespace kavrin::support {

std::string wrappedHelpText(std::string_view text, std::size_t column, std::size_t indent)
{
    std::string result;
    bool first = true;
    for (std::size_t start = 0; start <= text.size(); first = false) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        const std::string_view word = text.substr(start, end - start);
        if (!first && column + 1 + word.size() > kHelpWidth) {
            result += "\n" + std::string(indent, ' ');
            column = indent;
        } else if (!first) {
            result += ' ';
            ++column;
        }
        result += word;
        column += word.size();
        start = end + 1;
    }
    return result + "\n";
}

std::string helpEntry(const std::string& head, std::string_view text, std::size_t descriptionColumn)
{
    const std::string lead = head.size() < descriptionColumn ? head + std::string(descriptionColumn - head.size(), ' ')
                                                             : head + "\n" + std::string(descriptionColumn, ' ');
    return lead + wrappedHelpText(text, descriptionColumn, descriptionColumn);
}

}
