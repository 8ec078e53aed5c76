#include "gui/language_dialog.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "gui/dialog_support.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::gui {

LanguageDialog::LanguageDialog(LanguageModel& model, const UiText& texts, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(TextOf(texts, ui::kLanguageTitle));
  Named(this, ui::kLanguageTitle);
  auto* list = new QListWidget;
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  for (const std::string& choice : model.choices()) list->addItem(Q(choice));
  if (model.selected() >= 0) list->setCurrentRow(model.selected());

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(CaptionFor(texts, ui::kLanguagePrompt, list));
  layout->addWidget(list);
  QPushButton* ok = CaptionedButton(texts, ui::kOkButton);
  QPushButton* cancel = CaptionedButton(texts, ui::kCancelButton);
  layout->addLayout(ButtonRow({ok, cancel}));
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(ok, &QPushButton::clicked, this, [this, list, &model] {
    const QListWidgetItem* item = list->currentItem();
    model.Accept(item != nullptr && item->isSelected() ? list->row(item) : -1);
    accept();
  });
}

}  // namespace kelvaro::gui
