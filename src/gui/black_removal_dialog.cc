#include "gui/black_removal_dialog.h"

#include <QSlider>
#include <QVBoxLayout>

#include "gui/dialog_support.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::gui {

BlackRemovalDialog::BlackRemovalDialog(BlackRemovalModel& model, const UiText& texts,
                                       QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(TextOf(texts, ui::kBlackRemovalTitle));
  Named(this, ui::kBlackRemovalTitle);
  auto* layout = new QVBoxLayout(this);
  auto* slider = new QSlider(Qt::Horizontal);
  slider->setRange(0, kDialogSliderMaximum);
  slider->setTracking(true);  // thumb-track moves count too
  slider->setValue(model.position());
  layout->addWidget(CaptionFor(texts, ui::kBlackRemovalThreshold, slider));
  layout->addWidget(SliderWithValue(slider));
  layout->addWidget(Note(TextOf(texts, ui::kBlackRemovalNote), 320));
  QPushButton* ok = CaptionedButton(texts, ui::kOkButton);
  layout->addWidget(ok, 0, Qt::AlignRight);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(slider, &QSlider::valueChanged, this, [&model](int position) { model.Move(position); });
}

}  // namespace kelvaro::gui
