#include "toolkit/message_box.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>

#include <utility>

namespace pulmora {

namespace {

// One user-interface thread: these are only ever touched from it.
MessageSink& sink() {
    static MessageSink s;
    return s;
}
bool endRequested = false;

QMessageBox::StandardButton runBox(QWidget* parent, MessageKind kind, const QString& text) {
    const QMessageBox::Icon icon = kind == MessageKind::Information ? QMessageBox::Information
                                   : kind == MessageKind::Error     ? QMessageBox::Critical
                                                                    : QMessageBox::Question;
    const QMessageBox::StandardButtons buttons =
        kind == MessageKind::Question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
    QMessageBox box(icon, QGuiApplication::applicationDisplayName(), text, buttons, parent);
    box.setDefaultButton(kind == MessageKind::Question ? QMessageBox::Yes : QMessageBox::Ok);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

bool deliver(QWidget* parent, MessageKind kind, const QString& text) {
    if (endRequested) return false;
    if (sink()) return sink()(kind, text);
    return runBox(parent, kind, text) == QMessageBox::Yes;
}

} // namespace

MessageSink setMessageSink(MessageSink s) {
    return std::exchange(sink(), std::move(s));
}

void showMessage(QWidget* parent, const QString& text) {
    deliver(parent, MessageKind::Information, text);
}

void showError(QWidget* parent, const QString& text) {
    deliver(parent, MessageKind::Error, text);
}

bool askYesNo(QWidget* parent, const QString& text) {
    return deliver(parent, MessageKind::Question, text);
}

void requestProgramEnd() {
    endRequested = true;
    // Ends a running event loop once control returns to it; before the loop has started Qt
    // ignores this, hence the flag for the start-up to check.
    QCoreApplication::quit();
}

bool programEndRequested() {
    return endRequested;
}

void clearProgramEndRequest() {
    endRequested = false;
}

void processPendingEvents() {
    QCoreApplication::processEvents();
}

void beep() {
    QApplication::beep();
}

} // namespace pulmora
