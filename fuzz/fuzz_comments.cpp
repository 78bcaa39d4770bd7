// The comments file: any bytes, any section number.

#include <cstddef>
#include <cstdint>
#include <string>

#include "results/comments.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (int n : {1, 2, 8, 9, 10, 11, -1, 2147483647}) {
        const std::string section = pulmora::commentSection(text, n);
        const pulmora::CommentParagraphs parts = pulmora::splitComment(section);
        if (parts.first.size() + parts.second.size() > section.size()) __builtin_trap();
        if (section.size() > text.size()) __builtin_trap();
    }
    return 0;
}
