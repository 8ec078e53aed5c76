#include "gui/pattern_library_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <string>

#include "gui/dialog_support.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::gui {

PatternLibraryDialog::PatternLibraryDialog(PatternLibraryModel& model, const UiText& texts,
                                           QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(TextOf(texts, ui::kLibraryTitle));
  Named(this, ui::kLibraryTitle);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Bold(new QLabel(TextOf(texts, ui::kLibraryInstructions))));
  auto* list = Named(new QListWidget, ui::kLibraryTitle, "shapes");
  list->setMinimumSize(260, 220);
  QLabel* note = Note(TextOf(texts, ui::kLibraryNote));
  note->setBuddy(list);
  layout->addWidget(note);
  layout->addWidget(list, 1);
  for (const std::string& entry : model.entries()) list->addItem(Q(entry));
  connect(list, &QListWidget::itemClicked, this, [&model, list](QListWidgetItem* item) {
    const int row = list->row(item);
    model.Toggle(row);
    item->setText(Q(model.entries()[row]));
  });

  // The platform's button box: OK is the default button, as in the platform's own dialogs.
  auto* buttons = new QDialogButtonBox;
  QPushButton* ok =
      Named(buttons->addButton(TextOf(texts, ui::kOkButton), QDialogButtonBox::AcceptRole),
            ui::kOkButton);
  QPushButton* cancel =
      Named(buttons->addButton(TextOf(texts, ui::kCancelButton), QDialogButtonBox::RejectRole),
            ui::kCancelButton);
  connect(ok, &QPushButton::clicked, this, [this, &model] {
    model.RemoveMarked();
    accept();
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  layout->addWidget(buttons);
}

}  // namespace kelvaro::gui
