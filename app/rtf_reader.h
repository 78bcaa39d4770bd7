// A small reader for the rich text of the help pages. Qt reads HTML and Markdown but not RTF, so
// the subset our pages use is turned into a QTextDocument here: groups, paragraphs and line
// breaks, bold/italic/underline, font sizes, the colour table, Windows-1252/1250 characters and
// Unicode escapes. Everything else is skipped. The reader is meant for any bytes at all: it never
// reads outside the buffer, always terminates, and shows whatever text it could make sense of.
#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace pulmora {

enum class RtfStatus {
    Ok,      // the whole input was well-formed RTF of the subset we read
    Partial, // something was malformed; the document holds what could be read
};

struct RtfResult {
    RtfStatus status = RtfStatus::Ok;
    QString reason; // empty when Ok; otherwise a short description of the first problem met

    bool ok() const { return status == RtfStatus::Ok; }
};

// Groups nested deeper than this are skipped whole: real pages need a handful of levels, and a
// bound keeps hostile input from growing the state stack without limit.
inline constexpr int MaxRtfGroupDepth = 100;

// Replaces the content of `document` by the rich text read from `rtf`. The document's default
// font is left alone, so text without an explicit size takes the viewer's font. On a Partial
// result the document holds the text read up to and around the problem.
RtfResult readRtf(const QByteArray& rtf, QTextDocument& document);

} // namespace pulmora
