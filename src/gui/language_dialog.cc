#include "gui/language_dialog.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QVBoxLayout>

#include "gui/dialog_support.h"
#include "settings/keys.h"
#include "settings/language_file.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::gui {

LanguageDialog::LanguageDialog(SettingsStore& store, UiText& texts, Notifier& notifier,
                               std::filesystem::path program_folder, QWidget* parent)
    : QDialog(parent), list_(new QListWidget) {
  setWindowTitle(TextOf(texts, ui::kLanguageTitle));
  list_->setObjectName("control1282");
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  const std::vector<LanguageChoice> choices = ListLanguages(program_folder);
  for (const LanguageChoice& choice : choices) {
    list_->addItem(QString::fromStdString(choice.display_name));
  }
  const int selected = FindLanguageSelection(choices, store.ReadSetting(keys::active::kLanguage));
  if (selected >= 0) list_->setCurrentRow(selected);

  auto* layout = new QVBoxLayout(this);
  QLabel* caption = BuddyLabel(TextOf(texts, ui::kLanguagePrompt), list_);
  caption->setObjectName("control1281");
  layout->addWidget(caption);
  layout->addWidget(list_);
  auto* buttons = new QHBoxLayout;
  QPushButton* ok = CaptionedButton(texts, ui::kOkButton, "control1280");
  QPushButton* cancel = CaptionedButton(texts, ui::kCancelButton, "control1279");
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(ok, &QPushButton::clicked, this,
          [this, &store, &texts, &notifier, folder = std::move(program_folder)] {
            const QListWidgetItem* item = list_->currentItem();
            const std::string selection =
                item != nullptr && item->isSelected() ? item->text().toStdString() : "";
            change_ = AcceptLanguageChoice(store, texts, notifier, folder, selection);
            accept();
          });
}

}  // namespace kelvaro::gui
