#include "gui/jpeg_settings_dialog.h"

#include <QSlider>
#include <QVBoxLayout>

#include "gui/dialog_support.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::gui {

JpegSettingsDialog::JpegSettingsDialog(JpegSettingsModel& model, const UiText& texts,
                                       QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(TextOf(texts, ui::kJpegTitle));
  Named(this, ui::kJpegTitle);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(
      Note(TextOf(texts, ui::kJpegExplanation) + "\n\n" + TextOf(texts, ui::kJpegNote), 320));
  auto* slider = new QSlider(Qt::Horizontal);
  slider->setRange(0, kDialogSliderMaximum);
  slider->setValue(model.position());
  layout->addWidget(CaptionFor(texts, ui::kJpegThreshold, slider));
  layout->addWidget(SliderWithValue(slider));
  QPushButton* ok = CaptionedButton(texts, ui::kOkButton);
  layout->addWidget(ok, 0, Qt::AlignRight);
  connect(slider, &QSlider::valueChanged, this, [&model](int position) { model.Move(position); });
  connect(ok, &QPushButton::clicked, this, [this, &model] {
    model.Accept();
    accept();
  });
}

}  // namespace kelvaro::gui
