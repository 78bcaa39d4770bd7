#pragma once
// The comment box's texts: numbered sections of the comments file "pdp.txt".

#include <string>

namespace pulmora {

// Section n of the file's text: from the line "#n" (not included) to the next line that is
// exactly "*", lines joined with no separator. A "#" line of another number does not end it;
// a section that is never closed runs to the end of the file. Empty when there is no such
// section.
std::string commentSection(const std::string& fileText, int n);

struct CommentParagraphs {
    std::string first;  // before "+++", or the whole text
    std::string second; // after "+++", or empty
};

// The two paragraphs of a section, split at the first "+++".
CommentParagraphs splitComment(const std::string& section);

} // namespace pulmora
