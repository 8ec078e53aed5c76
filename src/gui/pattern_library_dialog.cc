#include "gui/pattern_library_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "pattern/pattern_print.h"
#include "pattern/shape_library.h"

namespace kelvaro::gui {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// UiText entries of the window.
constexpr int kTitleText = 250;         // "Library Edit"
constexpr int kInstructionsText = 251;  // "Instructions"
constexpr int kNoteText = 252;          // what a click and the buttons do
constexpr int kOkText = 6;
constexpr int kCancelText = 5;

}  // namespace

PatternLibraryDialog::PatternLibraryDialog(AppContext& app, QWidget* parent)
    : QDialog(parent), app_(app) {
  const UiText& texts = app_.texts;
  setWindowTitle(Q(texts.Get(kTitleText)));
  setObjectName("libraryEditDialog");
  auto* layout = new QVBoxLayout(this);

  auto* heading = new QLabel(Q(texts.Get(kInstructionsText)));
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  layout->addWidget(heading);
  auto* note = new QLabel(Q(texts.Get(kNoteText)).replace("\r\n", "\n"));
  note->setWordWrap(true);
  layout->addWidget(note);

  list_ = new QListWidget;
  list_->setObjectName("shapeList");
  list_->setMinimumSize(260, 220);
  note->setBuddy(list_);
  layout->addWidget(list_, 1);

  const ShapeListing listing = ListShapes(StoredShapeLibraryPath(app_.store));
  int count = 0;
  for (const std::string& name : listing.names) {
    if (count++ == kMaxEditedShapes) break;
    list_->addItem(Q(name));
  }
  connect(list_, &QListWidget::itemClicked, this, [](QListWidgetItem* item) {
    item->setText(Q(ToggleRemovalMark(item->text().toStdString())));
  });

  auto* buttons = new QDialogButtonBox;
  QPushButton* ok = buttons->addButton(Q(texts.Get(kOkText)), QDialogButtonBox::AcceptRole);
  ok->setObjectName("ok");
  QPushButton* cancel = buttons->addButton(Q(texts.Get(kCancelText)), QDialogButtonBox::RejectRole);
  cancel->setObjectName("cancel");
  connect(ok, &QPushButton::clicked, this, [this] { RemoveMarked(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  layout->addWidget(buttons);

  if (!listing.message.empty()) {
    app_.notifier().Show(kCleanUpErrorCaption, listing.message, MessageIcon::kError);
  }
}

void PatternLibraryDialog::RemoveMarked() {
  std::vector<std::string> entries;
  for (int i = 0; i < list_->count(); ++i) entries.push_back(list_->item(i)->text().toStdString());
  const std::vector<std::string> names = MarkedShapeNames(entries);
  if (!names.empty()) {
    const RemoveShapesResult removed = RemoveShapes(StoredShapeLibraryPath(app_.store), names);
    if (!removed.ok()) {
      app_.notifier().Show(kCleanUpErrorCaption, removed.message, MessageIcon::kError);
    }
  }
  accept();
}

}  // namespace kelvaro::gui
