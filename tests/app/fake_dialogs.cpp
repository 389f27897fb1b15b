#include "fake_dialogs.h"

#include "form1.h"

namespace {
std::optional<QString> NextAnswer(std::deque<QString>& answers) {
  if (answers.empty())
    return std::nullopt;
  const QString answer = answers.front();
  answers.pop_front();
  if (answer.isNull())
    return std::nullopt;
  return answer;
}
}  // namespace

std::optional<QString> TFakeFileDialogs::ExecuteOpenDialog(QWidget*) {
  return NextAnswer(openAnswers);
}

std::optional<QString> TFakeFileDialogs::ExecuteSaveDialog(QWidget*) {
  return NextAnswer(saveAnswers);
}

TWindowDriver::TWindowDriver(TForm1& window)
    : form(window), errors(std::make_shared<std::vector<ShownError>>()) {
  auto fake = std::make_unique<TFakeFileDialogs>();
  dialogs = fake.get();
  form.SetFileDialogs(std::move(fake));
  form.SetErrorSink([shown = errors](QWidget*, const QString& message, const QString& detail) {
    shown->push_back({message, detail});
  });
}

void TWindowDriver::Open(const QString& path) {
  dialogs->openAnswers.push_back(path);
  form.Open1Click();
}

void TWindowDriver::CancelOpen() {
  dialogs->openAnswers.push_back(QString());
  form.Open1Click();
}

void TWindowDriver::Save(const QString& path) {
  dialogs->saveAnswers.push_back(path);
  form.Save1Click();
}
