#include "gui/statistics_setup_dialog.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>

#include "gui/dialog_support.h"
#include "platform/notifier.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::gui {
namespace {

// The columns of a row: label, yield, coverage basis (toner only), price, paper (toner only).
constexpr int kColumnOfField[2][5] = {{0, 1, 2, 3, 4}, {0, 1, 3, -1, -1}};
// What the columns hold after the row's label, for the names of their boxes.
constexpr const char* kColumnNames[5] = {"", "yield", "coverage", "cost", "paper"};

}  // namespace

StatisticsSetupDialog::StatisticsSetupDialog(StatisticsSetupModel& model, const UiText& texts,
                                             QWidget* parent)
    : QDialog(parent), model_(model), currency_(new QLineEdit) {
  setWindowTitle(TextOf(texts, ui::kStatisticsTitle));
  Named(this, ui::kStatisticsTitle);
  auto* grid = new QGridLayout(this);
  grid->addWidget(Note(TextOf(texts, ui::kStatisticsNote)), 0, 0, 1, 6);
  grid->addWidget(new QLabel(TextOf(texts, ui::kYieldHeading)), 1, 2);
  grid->addWidget(new QLabel("%"), 1, 3);
  grid->addWidget(new QLabel(TextOf(texts, ui::kCostHeading)), 1, 4);
  AddRecords(grid, texts);
  grid->addWidget(CaptionFor(texts, ui::kCurrencyLabel, currency_), 8, 0);
  currency_->setText(Q(model_.fields().currency));
  grid->addWidget(currency_, 8, 1);
  AddModes(grid, texts);
  QPushButton* save = CaptionedButton(texts, ui::kSaveButton);
  QPushButton* exit = CaptionedButton(texts, ui::kExitButton);
  grid->addWidget(save, 10, 4);
  grid->addWidget(exit, 10, 5);
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);
  connect(save, &QPushButton::clicked, this, [this] { Save(); });
}

// One row per consumable record: its label, then its fields in their columns.
void StatisticsSetupDialog::AddRecords(QGridLayout* grid, const UiText& texts) {
  const StatsSetupFields& stored = model_.fields();
  for (std::size_t row = 0; row < kConsumableKeys.size(); ++row) {
    const ConsumableKey& key = kConsumableKeys[row];
    const bool toner = key.fields == 5;
    const int grid_row = static_cast<int>(row) + 2;
    for (int field = 0; field < key.fields; ++field) {
      const int column = kColumnOfField[toner ? 0 : 1][field];
      auto* box =
          Named(new QLineEdit(Q(stored.rows[row][field])), key.label_text, kColumnNames[column]);
      box->setFixedWidth(field == 0 ? 90 : 64);
      fields_[row][field] = box;
      grid->addWidget(box, grid_row, column + 1);
    }
    grid->addWidget(BuddyLabel(TextOf(texts, key.label_text), fields_[row][0]), grid_row, 0);
  }
}

// The three mode buttons, each stored at once.
void StatisticsSetupDialog::AddModes(QGridLayout* grid, const UiText& texts) {
  auto* modes = new QButtonGroup(this);
  int column = 0;
  for (const StatisticsSetupModel::ModeChoice& choice : StatisticsSetupModel::kModes) {
    auto* option = Named(new QRadioButton(TextOf(texts, choice.text)), choice.text);
    option->setChecked(choice.mode == model_.mode());
    modes->addButton(option);
    grid->addWidget(option, 9, column, 1, 2);
    column += 2;
    connect(option, &QRadioButton::clicked, this,
            [this, mode = choice.mode] { model_.ChooseMode(mode); });
  }
}

void StatisticsSetupDialog::Save() {
  StatsSetupFields typed;
  for (std::size_t row = 0; row < kConsumableKeys.size(); ++row) {
    for (int field = 0; field < kConsumableKeys[row].fields; ++field) {
      typed.rows[row][field] = fields_[row][field]->text().toStdString();
    }
  }
  typed.currency = currency_->text().toStdString();
  if (std::optional<std::string> problem = model_.Save(typed)) {
    QMessageBox::warning(this, kProgramTitle, Q(*problem));
    return;
  }
  accept();
}

}  // namespace kelvaro::gui
