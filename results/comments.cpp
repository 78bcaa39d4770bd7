#include "results/comments.h"

#include <cerrno>
#include <cstdlib>

namespace pulmora {

namespace {

// "#" followed by a decimal number equal to n, and nothing else.
bool startsSection(const std::string& line, int n) {
    if (line.size() < 2 || line[0] != '#') return false;
    const char* begin = line.c_str() + 1;
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(begin, &end, 10);
    return errno == 0 && end != begin && *end == '\0' && number == n;
}

} // namespace

std::string commentSection(const std::string& fileText, int n) {
    std::string section;
    bool collecting = false;
    std::size_t start = 0;
    while (start <= fileText.size()) {
        std::size_t end = fileText.find('\n', start);
        if (end == std::string::npos) end = fileText.size();
        std::string line = fileText.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (startsSection(line, n)) {
            section.clear();
            collecting = true;
        } else if (line == "*") {
            collecting = false;
        } else if (collecting) {
            section += line;
        }
        if (end == fileText.size()) break;
        start = end + 1;
    }
    return section;
}

CommentParagraphs splitComment(const std::string& section) {
    const std::size_t marker = section.find("+++");
    if (marker == std::string::npos) return {section, {}};
    return {section.substr(0, marker), section.substr(marker + 3)};
}

} // namespace pulmora
