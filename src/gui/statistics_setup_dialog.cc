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

}  // namespace

StatisticsSetupDialog::StatisticsSetupDialog(SettingsStore& store, const UiText& texts,
                                             QWidget* parent)
    : QDialog(parent), currency_(new QLineEdit) {
  setWindowTitle(TextOf(texts, ui::kStatisticsTitle));
  const StatsSetupFields stored = OpenStatisticsSetup(store);
  auto* grid = new QGridLayout(this);
  auto* note = new QLabel(TextOf(texts, ui::kStatisticsNote));
  note->setWordWrap(true);
  grid->addWidget(note, 0, 0, 1, 6);
  grid->addWidget(new QLabel(TextOf(texts, ui::kYieldHeading)), 1, 2);
  grid->addWidget(new QLabel("%"), 1, 3);
  grid->addWidget(new QLabel(TextOf(texts, ui::kCostHeading)), 1, 4);
  for (std::size_t row = 0; row < kConsumableKeys.size(); ++row) {
    const ConsumableKey& key = kConsumableKeys[row];
    const bool toner = key.fields == 5;
    QLabel* caption = new QLabel(TextOf(texts, key.label_text));
    grid->addWidget(caption, static_cast<int>(row) + 2, 0);
    for (int field = 0; field < key.fields; ++field) {
      auto* box = new QLineEdit(QString::fromStdString(stored.rows[row][field]));
      box->setObjectName(QString("%1_%2").arg(key.key).arg(field));
      box->setFixedWidth(field == 0 ? 90 : 64);
      fields_[row][field] = box;
      grid->addWidget(box, static_cast<int>(row) + 2, kColumnOfField[toner ? 0 : 1][field] + 1);
    }
    caption->setBuddy(fields_[row][0]);
  }
  grid->addWidget(BuddyLabel(TextOf(texts, ui::kCurrencyLabel), currency_), 8, 0);
  currency_->setObjectName("currency");
  currency_->setText(QString::fromStdString(stored.currency));
  grid->addWidget(currency_, 8, 1);

  auto* modes = new QButtonGroup(this);
  const StatisticsMode mode = ReadStatisticsMode(store);
  int column = 0;
  for (auto [text, value] :
       {std::pair{ui::kStatisticsOnlyOption, StatisticsMode::kStatisticsOnly},
        std::pair{ui::kPrintAndStatisticsOption, StatisticsMode::kPrintAndStatistics},
        std::pair{ui::kPrintOnlyOption, StatisticsMode::kPrintOnly}}) {
    auto* option = new QRadioButton(TextOf(texts, text));
    option->setObjectName(QString("mode%1").arg(static_cast<int>(value)));
    option->setChecked(value == mode);
    modes->addButton(option);
    grid->addWidget(option, 9, column, 1, 2);
    column += 2;
    connect(option, &QRadioButton::clicked, this,
            [&store, value] { WriteStatisticsMode(store, value); });
  }
  QPushButton* save = CaptionedButton(texts, ui::kSaveButton, "save");
  QPushButton* exit = CaptionedButton(texts, ui::kExitButton, "exit");
  grid->addWidget(save, 10, 4);
  grid->addWidget(exit, 10, 5);
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);
  connect(save, &QPushButton::clicked, this, [this, &store, &texts] {
    StatsSetupFields typed;
    for (std::size_t row = 0; row < kConsumableKeys.size(); ++row) {
      for (int field = 0; field < kConsumableKeys[row].fields; ++field) {
        typed.rows[row][field] = fields_[row][field]->text().trimmed().toStdString();
      }
    }
    typed.currency = currency_->text().trimmed().toStdString();
    if (std::optional<std::string> problem = SaveStatisticsSetup(store, texts, typed)) {
      QMessageBox::warning(this, kProgramTitle, QString::fromStdString(*problem));
      return;
    }
    accept();
  });
}

}  // namespace kelvaro::gui
