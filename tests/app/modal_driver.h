#pragma once
// Drives a modal dialog that a handler runs: the action is called with the dialog once it is
// up, from inside its event loop.

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

// Runs `handler`; while it shows a modal dialog, `act` gets that dialog (it must end it).
// Returns whether a dialog appeared.
inline bool WithModalDialog(const std::function<void()>& handler,
                            const std::function<void(QWidget*)>& act) {
  auto seen = std::make_shared<bool>(false);
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, [&poll, seen, &act] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr || !dialog->isVisible())
      return;
    poll.stop();
    *seen = true;
    act(dialog);
  });
  poll.start();
  handler();
  poll.stop();
  return *seen;
}
