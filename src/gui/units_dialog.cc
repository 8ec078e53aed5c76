#include "gui/units_dialog.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/dialog_support.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::gui {

UnitsDialog::UnitsDialog(UnitsModel& model, const UiText& texts, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(TextOf(texts, ui::kUnitsTitle));
  Named(this, ui::kUnitsTitle);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(TextOf(texts, ui::kUnitsPrompt)));
  auto* group = new QButtonGroup(this);
  for (UnitCode unit : UnitsModel::kChoices) {
    const int text = UnitNameTextNumber(unit);
    auto* option = Named(new QRadioButton(TextOf(texts, text)), text);
    option->setChecked(unit == model.unit());
    group->addButton(option);
    layout->addWidget(option);
    connect(option, &QRadioButton::clicked, this, [&model, unit] { model.Choose(unit); });
  }
  QPushButton* ok = CaptionedButton(texts, ui::kOkButton);
  layout->addWidget(ok, 0, Qt::AlignRight);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace kelvaro::gui
