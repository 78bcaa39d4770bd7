#include "toolkit/save_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

#include "toolkit/message_box.h"

namespace pulmora {

bool saveWholeFile(QWidget* parent, const QString& path, const QByteArray& bytes) {
    const auto fail = [&](const QString& reason) {
        showError(parent, QString("The file \"%1\" cannot be saved: %2.").arg(path, reason));
        return false;
    };
    // A file the user made read-only is not replaced behind their back, although the folder
    // would allow the rename: the test opens it for writing without changing a byte.
    if (QFileInfo::exists(path)) {
        QFile existing(path);
        if (!existing.open(QIODevice::WriteOnly | QIODevice::Append))
            return fail(existing.errorString());
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    // Qt reports a short write on a full disk as an "Unknown error": say what happened.
    errno = 0;
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    const int writeErrno = errno;
    if (!written) {
        file.cancelWriting();
        return fail(writeErrno == ENOSPC || writeErrno == EFBIG || writeErrno == EDQUOT
                        ? QString("the disk is full")
                        : file.errorString());
    }
    if (!file.commit()) return fail(file.errorString());
    return true;
}

} // namespace pulmora
