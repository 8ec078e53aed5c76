#include "gui/margins_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpressionValidator>

#include "gui/dialog_support.h"
#include "platform/notifier.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::gui {

MarginsDialog::MarginsDialog(MarginsModel& model, const UiText& texts, QWidget* parent)
    : QDialog(parent), model_(model), area_(new QLabel) {
  setWindowTitle(TextOf(texts, ui::kMarginsTitle));
  Named(this, ui::kMarginsTitle);
  QPushButton* get_margins = CaptionedButton(texts, ui::kGetPrinterMargins);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(BuildBoxes(texts));
  auto* area_row = new QHBoxLayout;
  area_row->addWidget(CaptionFor(texts, ui::kPrintableArea, area_));
  area_row->addWidget(area_, 1);
  layout->addLayout(area_row);
  auto* buttons = new QHBoxLayout;
  QPushButton* ok = CaptionedButton(texts, ui::kOkButton);
  buttons->addWidget(get_margins);
  buttons->addStretch(1);
  buttons->addWidget(ok);
  layout->addLayout(buttons);
  ShowModel();
  get_margins->setEnabled(model_.can_ask_printer());

  connect(ok, &QPushButton::clicked, this, [this] {
    model_.Accept(Typed());
    accept();
  });
  connect(get_margins, &QPushButton::clicked, this, [this] { AskPrinter(); });
}

// The four boxes with their captions, and the unit's name beside the first.
QLayout* MarginsDialog::BuildBoxes(const UiText& texts) {
  auto* grid = new QGridLayout;
  // The mask "###.##": up to three digits, a point, up to two decimals.
  auto* mask = new QRegularExpressionValidator(QRegularExpression("\\d{0,3}(\\.\\d{0,2})?"), this);
  const char* captions[] = {"TOP", "LEFT", "RIGHT", "BOTTOM"};
  for (int side = 0; side < 4; ++side) {
    auto* box = Named(new QLineEdit, captions[side]);
    box->setValidator(mask);
    box->setFixedWidth(70);
    boxes_[side] = box;
    grid->addWidget(BuddyLabel(captions[side], box), side, 0);
    grid->addWidget(box, side, 1);
    connect(box, &QLineEdit::returnPressed, this, [this] {
      model_.RaiseTyped(Typed());
      ShowModel();
    });
  }
  grid->addWidget(new QLabel(TextOf(texts, model_.view().unit_name_text)), 0, 2);
  return grid;
}

void MarginsDialog::ShowModel() {
  const MarginsDialogView& view = model_.view();
  for (int side = 0; side < 4; ++side) boxes_[side]->setText(Q(view.boxes[side]));
  area_->setText(Q(view.area));
}

MarginsModel::Boxes MarginsDialog::Typed() const {
  MarginsModel::Boxes typed;
  for (int side = 0; side < 4; ++side) typed[side] = boxes_[side]->text().toStdString();
  return typed;
}

void MarginsDialog::AskPrinter() {
  for (QLineEdit* box : boxes_) box->setEnabled(true);
  if (const std::optional<std::string> problem = model_.AskPrinter()) {
    QMessageBox::warning(this, kProgramTitle, Q(*problem));
    return;
  }
  ShowModel();
}

}  // namespace kelvaro::gui
