#include "gui/custom_paper_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <utility>

#include "gui/dialog_support.h"
#include "platform/notifier.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::gui {

CustomPaperDialog::CustomPaperDialog(CustomPaperModel& model, const UiText& texts, QWidget* parent)
    : QDialog(parent),
      model_(model),
      width_(new QLineEdit),
      height_(new QLineEdit),
      name_(new QLineEdit),
      list_(new QComboBox) {
  setWindowTitle(TextOf(texts, ui::kCustomSizeTitle));
  Named(this, ui::kCustomSizeTitle);
  Named(list_, "Custom sizes");
  list_->setMinimumContentsLength(16);
  auto* grid = new QGridLayout(this);
  grid->addWidget(Note(TextOf(texts, ui::kCustomSizeHelp)), 0, 0, 1, 4);
  AddSizeRows(grid, texts);
  QPushButton* save = CaptionedButton(texts, ui::kSaveButton);
  QPushButton* margins = CaptionedButton(texts, ui::kMarginsTitle);
  QPushButton* exit = CaptionedButton(texts, ui::kExitButton);
  QPushButton* remove = CaptionedButton(texts, ui::kDeleteButton);
  grid->addWidget(save, 4, 0);
  grid->addWidget(margins, 4, 1);
  grid->addWidget(exit, 4, 3);
  grid->addWidget(Note(TextOf(texts, ui::kCustomDeleteHelp)), 5, 0, 1, 4);
  grid->addWidget(list_, 6, 0, 1, 3);
  grid->addWidget(remove, 6, 3);
  ShowList();

  connect(save, &QPushButton::clicked, this, [this] { OnBoxes(&CustomPaperDialog::Save); });
  connect(margins, &QPushButton::clicked, this,
          [this] { OnBoxes(&CustomPaperDialog::AskMargins); });
  connect(remove, &QPushButton::clicked, this, [this] {
    if (model_.Delete(list_->currentText().toStdString())) ShowList();
  });
  connect(exit, &QPushButton::clicked, this, &QDialog::accept);
}

// Width and height with their unit and range, then the name.
void CustomPaperDialog::AddSizeRows(QGridLayout* grid, const UiText& texts) {
  const RangeTexts ranges = model_.ranges();
  const QString unit_label = TextOf(texts, UnitLabelTextNumber(model_.unit()));
  grid->addWidget(CaptionFor(texts, ui::kCustomWidth, width_), 1, 0);
  grid->addWidget(width_, 1, 1);
  grid->addWidget(new QLabel(unit_label), 1, 2);
  grid->addWidget(new QLabel(Q(ranges.width)), 1, 3);
  grid->addWidget(CaptionFor(texts, ui::kCustomHeight, height_), 2, 0);
  grid->addWidget(height_, 2, 1);
  grid->addWidget(new QLabel(unit_label), 2, 2);
  grid->addWidget(new QLabel(Q(ranges.height)), 2, 3);
  grid->addWidget(CaptionFor(texts, ui::kCustomName, name_), 3, 0);
  grid->addWidget(name_, 3, 1, 1, 3);
}

void CustomPaperDialog::ShowList() {
  list_->clear();
  for (const std::string& size : model_.sizes()) list_->addItem(Q(size));
  list_->setCurrentIndex(model_.selected());
}

void CustomPaperDialog::OnBoxes(void (CustomPaperDialog::*action)(CustomPaperModel::Typed&)) {
  CustomPaperModel::Typed typed{width_->text().toStdString(), height_->text().toStdString(),
                                name_->text().toStdString()};
  (this->*action)(typed);
  for (auto [box, text] : {std::pair{width_, &typed.width}, std::pair{height_, &typed.height}}) {
    if (box->text() != Q(*text)) box->setText(Q(*text));
  }
}

void CustomPaperDialog::Save(CustomPaperModel::Typed& typed) {
  const CustomPaperModel::SaveOutcome outcome = model_.Save(typed);
  if (outcome.saved) ShowList();
  if (!outcome.message.empty()) QMessageBox::warning(this, kProgramTitle, Q(outcome.message));
}

void CustomPaperDialog::AskMargins(CustomPaperModel::Typed& typed) { model_.AskMargins(typed); }

}  // namespace kelvaro::gui
