#pragma once
// Where a menu command's errors stop: no exception ever leaves a Qt slot. The error is shown
// in an error box captioned with the application title, and the program goes on.

#include <QString>
#include <functional>

class QWidget;

// Shows an error: the fixed message, and the file and reason as the box's second text.
// Tests replace it to read the messages without a modal box.
using TErrorSink =
    std::function<void(QWidget* parent, const QString& message, const QString& detail)>;
void ShowErrorBox(QWidget* parent, const QString& message, const QString& detail);

// Runs a command; any error it raises goes to the sink.
void RunCommand(QWidget* parent, const TErrorSink& sink, const std::function<void()>& command);
