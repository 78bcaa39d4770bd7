#include "app/startup_checks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "toolkit/message_box.h"

namespace pulmora {

QString SingleInstanceGuard::defaultLockPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return folder + "/ApplicationTestMap.lock";
}

SingleInstanceGuard::SingleInstanceGuard(const QString& lockPath)
    : lock_(std::make_unique<QLockFile>(lockPath)) {
    // The holder may run for days: only a dead holder makes the lock stale, never its age.
    lock_->setStaleLockTime(0);
}

bool SingleInstanceGuard::acquire() {
    if (lock_->isLocked() || lock_->tryLock(0)) return true;
    return lock_->error() != QLockFile::LockFailedError;
}

int MissingDataFilesCode(const QString& programFolder) {
    int code = 0;
    for (const DataFileCode& f : kCheckedDataFiles)
        if (!QFileInfo::exists(programFolder + f.path)) code += f.code;
    return code;
}

bool WriteProbe(const QString& programFolder) {
    // The probe's folder is the one simulations are saved in.
    QFile probe(programFolder + "simulations/test.dat");
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const bool written = probe.write("test", 4) == 4;
    probe.close();
    const bool ok = written && probe.error() == QFileDevice::NoError;
    probe.remove();
    return ok;
}

bool CheckDataFiles(QWidget* parent, const QString& programFolder) {
    bool ok = true;
    if (const int code = MissingDataFilesCode(programFolder); code != 0) {
        showMessage(parent, "One of the application files is missing or corrupted " +
                                QString::number(code));
        requestProgramEnd();
        ok = false;
    }
    // Runs in any case; after a first failure its message closes unseen.
    if (!WriteProbe(programFolder)) {
        showMessage(parent, "This application cannot work on the read only disk.");
        requestProgramEnd();
        ok = false;
    }
    return ok;
}

} // namespace pulmora
