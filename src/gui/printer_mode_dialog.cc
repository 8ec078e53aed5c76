#include "gui/printer_mode_dialog.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "gui/dialog_support.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::gui {

PrinterModeDialog::PrinterModeDialog(PrinterModeModel& model, const UiText& texts, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(TextOf(texts, ui::kPrinterModeTitle));
  Named(this, ui::kPrinterModeTitle);
  auto* layout = new QVBoxLayout(this);
  auto* buttons = new QHBoxLayout;
  QPushButton* on = CaptionedButton(texts, ui::kDriverOnButton);
  QPushButton* off = CaptionedButton(texts, ui::kDriverOffButton);
  QPushButton* exit = CaptionedButton(texts, ui::kExitButton);
  // The selected mode shows as a pressed button.
  for (QPushButton* b : {on, off}) b->setCheckable(true);
  auto show_selected = [on, off](PrinterModeButton selected) {
    on->setChecked(selected == PrinterModeButton::kDriverOn);
    off->setChecked(selected == PrinterModeButton::kDriverOff);
  };
  show_selected(model.selected());
  buttons->addWidget(on);
  buttons->addWidget(off);
  buttons->addWidget(exit);
  layout->addLayout(buttons);
  auto* note = Named(Note(Q(model.note()), 360), "Printer Mode note");
  layout->addWidget(note);
  // Once sent, the note says so and the buttons rest until the window closes.
  auto press = [this, &model, show_selected, note](PrinterModeButton button) {
    show_selected(button);
    model.Press(button, [this, &model, note] {
      note->setText(Q(model.note()));
      for (QPushButton* b : findChildren<QPushButton*>()) b->setEnabled(false);
    });
    accept();
  };
  connect(on, &QPushButton::clicked, this, [press] { press(PrinterModeButton::kDriverOn); });
  connect(off, &QPushButton::clicked, this, [press] { press(PrinterModeButton::kDriverOff); });
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace kelvaro::gui
