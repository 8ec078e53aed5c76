#include "gui/units_dialog.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/dialog_support.h"
#include "printers/units.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::gui {

UnitsDialog::UnitsDialog(SettingsStore& store, const UiText& texts, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(TextOf(texts, ui::kUnitsTitle));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(TextOf(texts, ui::kUnitsPrompt)));
  const UnitCode stored = ReadUnit(store);
  auto* group = new QButtonGroup(this);
  for (UnitCode unit : {UnitCode::kMillimetres, UnitCode::kCentimetres, UnitCode::kInches}) {
    auto* option = new QRadioButton(TextOf(texts, UnitNameTextNumber(unit)));
    option->setObjectName(QString::fromStdString(std::string(UnitCodeText(unit))));
    option->setChecked(unit == stored);
    group->addButton(option);
    layout->addWidget(option);
    connect(option, &QRadioButton::clicked, this, [&store, unit] { WriteUnit(store, unit); });
  }
  QPushButton* ok = CaptionedButton(texts, ui::kOkButton, "ok");
  layout->addWidget(ok, 0, Qt::AlignRight);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace kelvaro::gui
