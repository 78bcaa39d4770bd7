#pragma once
// The program's plain message boxes, the Yes/No question, the pumping of pending events and the
// alarm beep. Tests install a MessageSink so that no box ever waits for a user.

#include <QString>

#include <functional>

class QWidget;

namespace pulmora {

enum class MessageKind {
    Information, // showMessage: an OK box
    Error,       // showError: the general error report, an OK box
    Question,    // askYesNo: Yes and No buttons
};

// Receives every message instead of a box while installed; its result is the answer to a
// question (true for Yes) and is ignored for the other kinds.
using MessageSink = std::function<bool(MessageKind kind, const QString& text)>;

// Installs `sink` (an empty function removes it) and returns the one it replaces.
MessageSink setMessageSink(MessageSink sink);

// Each box is modal, titled with the application's name, and returns when the user closes it.
void showMessage(QWidget* parent, const QString& text);
void showError(QWidget* parent, const QString& text);
bool askYesNo(QWidget* parent, const QString& text); // true for Yes

// Asks the program to end once control is back in the event loop. From then on every box
// closes at once without being shown or reaching the sink (a question answers No), so the user
// sees only the message that led to the request. Qt ignores the request while its event loop
// has not started yet: a start-up that made it checks programEndRequested() instead of
// entering the loop.
void requestProgramEnd();
bool programEndRequested();
void clearProgramEndRequest(); // for tests: boxes show again

// Lets the window repaint and react while a long command runs.
void processPendingEvents();

// The system's plain beep, the alarm of a failed solver step.
void beep();

} // namespace pulmora
