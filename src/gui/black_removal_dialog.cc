#include "gui/black_removal_dialog.h"

#include <QSlider>
#include <QVBoxLayout>

#include "app/dialog_rules.h"
#include "gui/dialog_support.h"
#include "settings/ui_text_ids.h"

namespace kelvaro::gui {

BlackRemovalDialog::BlackRemovalDialog(SettingsStore& store, const UiText& texts,
                                       std::function<void()> moved, QWidget* parent)
    : QDialog(parent),
      store_(store),
      moved_(std::move(moved)),
      slider_(new QSlider(Qt::Horizontal)) {
  setWindowTitle(TextOf(texts, ui::kBlackRemovalTitle));
  auto* layout = new QVBoxLayout(this);
  slider_->setObjectName("threshold");
  slider_->setRange(0, 100);
  slider_->setTracking(true);  // thumb-track moves count too
  slider_->setValue(OpenBlackRemoval(store_));
  layout->addWidget(BuddyLabel(TextOf(texts, ui::kBlackRemovalThresholdLabel), slider_));
  layout->addWidget(SliderWithValue(slider_));
  auto* explanation = new QLabel(TextOf(texts, ui::kBlackRemovalNote));
  explanation->setWordWrap(true);
  explanation->setMinimumWidth(320);
  layout->addWidget(explanation);
  QPushButton* ok = CaptionedButton(texts, ui::kOkButton, "ok");
  layout->addWidget(ok, 0, Qt::AlignRight);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(slider_, &QSlider::valueChanged, this, [this](int position) {
    MoveBlackRemovalSlider(store_, position);
    if (moved_) moved_();
  });
}

}  // namespace kelvaro::gui
