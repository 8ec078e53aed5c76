#include "gui/jpeg_settings_dialog.h"

#include <QSlider>
#include <QVBoxLayout>

#include "app/dialog_rules.h"
#include "gui/dialog_support.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::gui {

JpegSettingsDialog::JpegSettingsDialog(SettingsStore& store, const UiText& texts, QWidget* parent)
    : QDialog(parent), store_(store), slider_(new QSlider(Qt::Horizontal)) {
  setWindowTitle(TextOf(texts, ui::kJpegSettingsTitle));
  auto* layout = new QVBoxLayout(this);
  auto* explanation = new QLabel(TextOf(texts, ui::kJpegSettingsNote) + "\n\n" +
                                 TextOf(texts, ui::kJpegSettingsNoteMore));
  explanation->setWordWrap(true);
  explanation->setMinimumWidth(320);
  layout->addWidget(explanation);
  slider_->setObjectName("threshold");
  slider_->setRange(0, 100);
  slider_->setValue(OpenJpegSettings(store_));
  layout->addWidget(BuddyLabel(TextOf(texts, ui::kBackgroundThresholdLabel), slider_));
  layout->addWidget(SliderWithValue(slider_));
  QPushButton* ok = CaptionedButton(texts, ui::kOkButton, "ok");
  layout->addWidget(ok, 0, Qt::AlignRight);
  connect(ok, &QPushButton::clicked, this, [this] {
    AcceptJpegSettings(store_, slider_->value());
    accept();
  });
}

}  // namespace kelvaro::gui
