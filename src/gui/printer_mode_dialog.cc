#include "gui/printer_mode_dialog.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <chrono>

#include "gui/dialog_support.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::gui {

PrinterModeDialog::PrinterModeDialog(PrinterModeServices services, const UiText& texts,
                                     PaperClass paper_class, std::string printer, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(TextOf(texts, ui::kPrinterModeTitle));
  auto* layout = new QVBoxLayout(this);
  auto* buttons = new QHBoxLayout;
  QPushButton* on = CaptionedButton(texts, ui::kDriverOnButton, "driver_on");
  QPushButton* off = CaptionedButton(texts, ui::kDriverOffButton, "driver_off");
  QPushButton* exit = CaptionedButton(texts, ui::kExitButton, "exit");
  // The selected mode shows as a pressed button.
  for (QPushButton* b : {on, off}) b->setCheckable(true);
  const PrinterModeButton selected = SelectedPrinterModeButton(services.store);
  on->setChecked(selected == PrinterModeButton::kDriverOn);
  off->setChecked(selected == PrinterModeButton::kDriverOff);
  buttons->addWidget(on);
  buttons->addWidget(off);
  buttons->addWidget(exit);
  layout->addLayout(buttons);
  auto* note = new QLabel(QString::fromStdString(PrinterModeNote(texts, paper_class)));
  note->setObjectName("note");
  note->setWordWrap(true);
  note->setMinimumWidth(360);
  layout->addWidget(note);
  auto press = [this, services, printer, on, off, note](PrinterModeButton button) {
    on->setChecked(button == PrinterModeButton::kDriverOn);
    off->setChecked(button == PrinterModeButton::kDriverOff);
    // The wait after a sent command is the sign that the printer has it: the note says so
    // and the buttons rest until the window closes.
    PrinterModeServices sent = services;
    sent.wait = [this, note, printer, wait = services.wait](std::chrono::milliseconds time) {
      note->setText(tr("Sent to %1.").arg(QString::fromStdString(printer)));
      for (QPushButton* b : findChildren<QPushButton*>()) b->setEnabled(false);
      wait(time);
    };
    PressPrinterModeButton(sent, printer, button);
    accept();
  };
  connect(on, &QPushButton::clicked, this, [press] { press(PrinterModeButton::kDriverOn); });
  connect(off, &QPushButton::clicked, this, [press] { press(PrinterModeButton::kDriverOff); });
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace kelvaro::gui
