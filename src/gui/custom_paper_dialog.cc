#include "gui/custom_paper_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <cmath>

#include "app/dialog_rules.h"
#include "gui/dialog_support.h"
#include "platform/notifier.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::gui {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// A typed length: its leading number; text that is no number fails the range check.
double TypedLength(const QLineEdit* box) {
  bool ok = false;
  const double value = box->text().trimmed().toDouble(&ok);
  return ok ? value : -1;
}

}  // namespace

CustomPaperDialog::CustomPaperDialog(SettingsStore& store, const UiText& texts,
                                     std::string model_name, PaperClass paper_class,
                                     std::function<void(PageSize)> open_margins, QWidget* parent)
    : QDialog(parent),
      store_(store),
      model_name_(std::move(model_name)),
      paper_class_(paper_class),
      open_margins_(std::move(open_margins)),
      unit_(ReadUnit(store)),
      width_(new QLineEdit),
      height_(new QLineEdit),
      name_(new QLineEdit),
      list_(new QComboBox) {
  setWindowTitle(TextOf(texts, ui::kCustomPaperTitle));
  width_->setObjectName("width");
  height_->setObjectName("height");
  name_->setObjectName("name");
  list_->setObjectName("sizes");
  list_->setMinimumContentsLength(16);
  const RangeTexts ranges = CustomSizeRangeTexts(unit_, paper_class_, model_name_);
  const QString unit_label = TextOf(texts, UnitLabelTextNumber(unit_));

  auto* grid = new QGridLayout(this);
  auto* help = new QLabel(TextOf(texts, ui::kCustomPaperNote));
  help->setWordWrap(true);
  grid->addWidget(help, 0, 0, 1, 4);
  grid->addWidget(BuddyLabel(TextOf(texts, ui::kXSizeLabel), width_), 1, 0);
  grid->addWidget(width_, 1, 1);
  grid->addWidget(new QLabel(unit_label), 1, 2);
  grid->addWidget(new QLabel(Q(ranges.width)), 1, 3);
  grid->addWidget(BuddyLabel(TextOf(texts, ui::kYSizeLabel), height_), 2, 0);
  grid->addWidget(height_, 2, 1);
  grid->addWidget(new QLabel(unit_label), 2, 2);
  grid->addWidget(new QLabel(Q(ranges.height)), 2, 3);
  grid->addWidget(BuddyLabel(TextOf(texts, ui::kPaperSizeLabel), name_), 3, 0);
  grid->addWidget(name_, 3, 1, 1, 3);
  QPushButton* save = CaptionedButton(texts, ui::kSaveButton, "save");
  QPushButton* margins = CaptionedButton(texts, ui::kPrintMargins, "print_margins");
  QPushButton* exit = CaptionedButton(texts, ui::kExitButton, "exit");
  QPushButton* remove = CaptionedButton(texts, ui::kDeleteButton, "delete");
  grid->addWidget(save, 4, 0);
  grid->addWidget(margins, 4, 1);
  grid->addWidget(exit, 4, 3);
  auto* delete_help = new QLabel(TextOf(texts, ui::kCustomPaperDeleteNote));
  delete_help->setWordWrap(true);
  grid->addWidget(delete_help, 5, 0, 1, 4);
  grid->addWidget(list_, 6, 0, 1, 3);
  grid->addWidget(remove, 6, 3);
  FillList({});

  connect(save, &QPushButton::clicked, this, [this] { Save(); });
  connect(margins, &QPushButton::clicked, this, [this] { AskMargins(); });
  connect(remove, &QPushButton::clicked, this, [this] { Delete(); });
  connect(exit, &QPushButton::clicked, this, &QDialog::accept);
}

void CustomPaperDialog::FillList(const std::string& select) {
  list_->clear();
  for (const CustomPaperSize& size : CustomSizesForModel(store_, model_name_)) {
    list_->addItem(Q(size.name));
  }
  const int index = select.empty() ? 0 : list_->findText(Q(select));
  list_->setCurrentIndex(index >= 0 ? index : 0);
}

std::optional<CustomSizeCheck> CustomPaperDialog::Check(bool for_margins) {
  const CustomSizeCheck check = CheckCustomSize(TypedLength(width_), TypedLength(height_), unit_,
                                                paper_class_, model_name_, for_margins);
  if (!check.width_ok) width_->setText(kRefusedSizeText);
  if (!check.height_ok) height_->setText(kRefusedSizeText);
  if (!check.ok()) return std::nullopt;
  return check;
}

void CustomPaperDialog::Save() {
  if (!Check(false)) return;
  const std::string name = TrimText(name_->text().toStdString());
  const SaveCustomSizeResult result =
      SaveCustomPaperSize(store_, name, TypedLength(width_), TypedLength(height_), unit_,
                          paper_class_, model_name_, margins_);
  switch (result) {
    case SaveCustomSizeResult::kSaved:
      FillList(name);
      // A size the model does not list (a wider group) is still shown as saved.
      if (list_->findText(Q(name)) < 0) {
        list_->addItem(Q(name));
        list_->setCurrentIndex(list_->count() - 1);
      }
      return;
    case SaveCustomSizeResult::kBadName:
      QMessageBox::warning(this, kProgramTitle, "The name cannot contain \"^\".");
      return;
    case SaveCustomSizeResult::kNameTooLong:
      QMessageBox::warning(this, kProgramTitle, "The name is too long to be stored.");
      return;
    default:  // an empty name saves nothing; a refused size already shows "----"
      return;
  }
}

void CustomPaperDialog::AskMargins() {
  const std::optional<CustomSizeCheck> check = Check(true);
  if (!check) return;
  const PageSize typed{static_cast<int>(std::nearbyint(check->width_points)),
                       static_cast<int>(std::nearbyint(check->height_points))};
  margins_ = CustomSizeMarginsFromDialog(store_, typed, open_margins_);
}

void CustomPaperDialog::Delete() {
  const std::string selected = TrimText(list_->currentText().toStdString());
  if (selected.empty()) return;
  DeleteCustomPaperSize(store_, selected);
  FillList({});
}

}  // namespace kelvaro::gui
