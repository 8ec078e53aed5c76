#include "gui/margins_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpressionValidator>

#include "gui/dialog_support.h"
#include "platform/cups_queues.h"
#include "platform/notifier.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::gui {

MarginsDialog::MarginsDialog(SettingsStore& store, const UiText& texts, MarginsDialogInput input,
                             QWidget* parent)
    : QDialog(parent),
      store_(store),
      input_(std::move(input)),
      unit_(ReadUnit(store)),
      area_(new QLabel),
      get_margins_(CaptionedButton(texts, ui::kGetPrinterMarginsButton, "get_printer_margins")) {
  setWindowTitle(TextOf(texts, ui::kPrintMargins));
  const MarginsDialogView view =
      OpenMarginsDialog(store_, input_.page, unit_, input_.queue, input_.printer_attached);
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  // The mask "###.##": up to three digits, a point, up to two decimals.
  auto* mask = new QRegularExpressionValidator(QRegularExpression("\\d{0,3}(\\.\\d{0,2})?"), this);
  const char* captions[] = {"TOP", "LEFT", "RIGHT", "BOTTOM"};
  const char* names[] = {"top", "left", "right", "bottom"};
  for (int side = 0; side < 4; ++side) {
    auto* box = new QLineEdit;
    box->setObjectName(names[side]);
    box->setValidator(mask);
    box->setFixedWidth(70);
    boxes_[side] = box;
    grid->addWidget(BuddyLabel(captions[side], box), side, 0);
    grid->addWidget(box, side, 1);
    connect(box, &QLineEdit::returnPressed, this,
            [this] { Show(RaiseTypedMargins(Typed(), input_.page, unit_)); });
  }
  grid->addWidget(new QLabel(TextOf(texts, view.unit_name_text)), 0, 2);
  layout->addLayout(grid);
  auto* area_row = new QHBoxLayout;
  area_row->addWidget(BuddyLabel(TextOf(texts, ui::kPrintableAreaLabel), area_));
  area_->setObjectName("area");
  area_row->addWidget(area_, 1);
  layout->addLayout(area_row);
  auto* buttons = new QHBoxLayout;
  QPushButton* ok = CaptionedButton(texts, ui::kOkButton, "ok");
  buttons->addWidget(get_margins_);
  buttons->addStretch(1);
  buttons->addWidget(ok);
  layout->addLayout(buttons);
  Show(view);
  get_margins_->setEnabled(view.get_printer_margins_enabled && input_.source != nullptr);

  connect(ok, &QPushButton::clicked, this, [this] {
    AcceptMarginsDialog(store_, Typed(), unit_, input_.model_name);
    accept();
  });
  connect(get_margins_, &QPushButton::clicked, this, [this] {
    for (QLineEdit* box : boxes_) box->setEnabled(true);
    const std::optional<MarginsDialogView> asked =
        GetPrinterMargins(*input_.source, input_.queue, input_.page, unit_);
    if (!asked) {
      QMessageBox::warning(this, kProgramTitle,
                           QString("The printer %1 did not tell its margins for A4 paper.")
                               .arg(QString::fromStdString(input_.queue)));
      return;
    }
    Show(*asked);
  });
}

void MarginsDialog::Show(const MarginsDialogView& view) {
  for (int side = 0; side < 4; ++side)
    boxes_[side]->setText(QString::fromStdString(view.boxes[side]));
  area_->setText(QString::fromStdString(view.area));
}

std::array<std::string, 4> MarginsDialog::Typed() const {
  std::array<std::string, 4> typed;
  for (int side = 0; side < 4; ++side) typed[side] = boxes_[side]->text().toStdString();
  return typed;
}

}  // namespace kelvaro::gui
