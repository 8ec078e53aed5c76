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
  Named(this, "Print Statistics result");
  auto* layout = new QVBoxLayout(this);
  auto* message = Named(Note(Lines(estimate.message), 380), "message");
  message->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(message);
  auto* note = Named(Note(Lines(estimate.paper_note)), "paper note");
  layout->addWidget(note);
  // A label text: "&&" shows one ampersand, as in the window's other labels.
  auto* mode = Named(new QLabel(Lines(estimate.mode_line).replace("&&", "&")), "mode line");
  layout->addWidget(mode);
  auto* buttons = new QHBoxLayout;
  QPushButton* ok = CaptionedButton(texts, ui::kOkButton);
  QPushButton* copy = CaptionedButton(texts, ui::kCopyToClipboard);
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
