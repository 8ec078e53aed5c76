#include "gui/statistics_result_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "gui/dialog_support.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::gui {
namespace {

QString Lines(const std::string& text) {
  return QString::fromStdString(text).replace("\r\n", "\n");
}

}  // namespace

StatisticsResultDialog::StatisticsResultDialog(const CostEstimate& estimate, const UiText& texts,
                                               QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(TextOf(texts, ui::kStatisticsTitle));
  auto* layout = new QVBoxLayout(this);
  auto* message = new QLabel(Lines(estimate.message));
  message->setObjectName("message");
  message->setWordWrap(true);
  message->setMinimumWidth(380);
  message->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(message);
  auto* note = new QLabel(Lines(estimate.paper_note));
  note->setObjectName("paper_note");
  note->setWordWrap(true);
  layout->addWidget(note);
  // A label text: "&&" shows one ampersand, as in the window's other labels.
  auto* mode = new QLabel(Lines(estimate.mode_line).replace("&&", "&"));
  mode->setObjectName("mode_line");
  layout->addWidget(mode);
  auto* buttons = new QHBoxLayout;
  QPushButton* ok = CaptionedButton(texts, ui::kOkButton, "ok");
  QPushButton* copy = CaptionedButton(texts, ui::kCopyToClipboardButton, "copy");
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(copy);
  layout->addLayout(buttons);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  const QString sentence = QString::fromStdString(estimate.clipboard_sentence);
  connect(copy, &QPushButton::clicked, this,
          [sentence] { QApplication::clipboard()->setText(sentence); });
}

}  // namespace kelvaro::gui
