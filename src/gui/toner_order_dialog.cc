#include "gui/toner_order_dialog.h"

#include <QHBoxLayout>
#include <QToolButton>

#include "gui/dialog_support.h"
#include "gui/main_window.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::gui {

TonerOrderDialog::TonerOrderDialog(TonerOrderModel& model, const UiText& texts, QWidget* parent)
    : QDialog(parent) {
  const QString title = TextOf(texts, ui::kTonerOrderTitle);
  setWindowTitle(title);
  Named(this, ui::kTonerOrderTitle);
  // Wide enough for the whole title beside the frame's buttons.
  setMinimumWidth(fontMetrics().horizontalAdvance(title) + 120);
  auto* layout = new QHBoxLayout(this);
  for (bool white_first : {false, true}) {
    const std::string name = TonerOrderModel::AccessibleName(white_first);
    auto* button = Named(new QToolButton(this), name);
    button->setIcon(PictureIcon(model.Picture(white_first), 64));
    button->setIconSize(QSize(64, 64));
    button->setAccessibleName(Q(name));
    layout->addWidget(button);
    connect(button, &QToolButton::clicked, this, [this, &model, white_first] {
      model.Choose(white_first);
      accept();
    });
  }
}

}  // namespace kelvaro::gui
