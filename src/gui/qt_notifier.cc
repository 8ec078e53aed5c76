#include "gui/qt_notifier.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace kelvaro::gui {

void RunOnGuiThread(const std::function<void()>& work) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr || QThread::currentThread() == app->thread()) {
    work();
    return;
  }
  QMetaObject::invokeMethod(app, work, Qt::BlockingQueuedConnection);
}

QString MessageText(const std::string& text) {
  QString out = QString::fromStdString(text);
  out.replace("\r\n", "\n");
  return out;
}

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kWarning:
      return QMessageBox::Warning;
    case MessageIcon::kError:
      return QMessageBox::Critical;
    case MessageIcon::kQuestion:
      return QMessageBox::Question;
    case MessageIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

void QtNotifier::Show(const std::string& title, const std::string& text, MessageIcon icon) {
  RunOnGuiThread([&] {
    QMessageBox box(BoxIcon(icon), QString::fromStdString(title), MessageText(text),
                    QMessageBox::Ok, parent_.data());
    box.exec();
  });
}

bool QtNotifier::Ask(const std::string& title, const std::string& text, bool default_answer) {
  bool answer = default_answer;
  RunOnGuiThread([&] {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(title), MessageText(text),
                    QMessageBox::Yes | QMessageBox::No, parent_.data());
    box.setDefaultButton(default_answer ? QMessageBox::Yes : QMessageBox::No);
    answer = box.exec() == QMessageBox::Yes;
  });
  return answer;
}

}  // namespace kelvaro::gui
