#pragma once

#include <QApplication>
#include <QString>

#include <exception>
#include <functional>
#include <memory>
#include <string_view>

class QWidget;

namespace velmora {

// Shows `message` in the standard critical message box, captioned with the program's name.
void ShowErrorMessage(QWidget* parent, const QString& message);

// A refusal phrase of the texts the shells share ("unknown time zone; give a name ...") as a
// sentence of its own: its first letter capitalised, a full stop after it.
QString RefusalSentence(std::string_view phrase);

// The beginning of a user's text as a refusal quotes it, in quotation marks: at most 40
// characters, so that a huge paste does not come back whole.
QString QuotedStart(const QString& text);

// The message an exception carries; empty for one that carries none.
QString ExceptionMessage(std::exception_ptr error);

// Runs one user command. An exception from it is shown in the critical message box, the rest
// of the command is abandoned and what it already did stays. Returns whether it completed.
bool GuardCommand(QWidget* parent, const std::function<void()>& command);

// The application object. An exception that escapes an event handler is shown in the critical
// message box and the program goes on, as after a failed command.
class VelmoraApplication : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override;
};

// Creates the main window, shows it and runs the event loop until it closes: exit code 0. An
// error that escapes start-up or the event loop is shown in the critical message box and gives
// exit code 1.
int RunMainWindow(const std::function<std::unique_ptr<QWidget>()>& createWindow);

}  // namespace velmora
