#pragma once
// Saving a whole file the safe way: written beside the target and renamed over it, so a failed
// save leaves the old file whole; a file the user made read-only is not replaced.

#include <QByteArray>
#include <QString>

class QWidget;

namespace pulmora {

// Writes `bytes` to `path`. On failure shows "The file "<path>" cannot be saved: <reason>."
// over `parent` and returns false; the file at `path`, if any, is then as it was.
bool saveWholeFile(QWidget* parent, const QString& path, const QByteArray& bytes);

} // namespace pulmora
