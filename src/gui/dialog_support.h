#ifndef KELVARO_GUI_DIALOG_SUPPORT_H_
#define KELVARO_GUI_DIALOG_SUPPORT_H_

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QString>
#include <string>

#include "settings/ui_text.h"

namespace kelvaro::gui {

// A UiText entry as a widget text: CR LF line breaks become plain ones.
inline QString TextOf(const UiText& texts, int number) {
  return QString::fromStdString(texts.Get(number)).replace("\r\n", "\n");
}

// A push button captioned by a UiText entry, named for tests and screen readers alike.
inline QPushButton* CaptionedButton(const UiText& texts, int number, const char* object_name) {
  auto* button = new QPushButton(TextOf(texts, number));
  button->setObjectName(object_name);
  button->setAutoDefault(false);
  return button;
}

// A caption that names `buddy` for screen readers.
inline QLabel* BuddyLabel(const QString& text, QWidget* buddy) {
  auto* label = new QLabel(text);
  label->setBuddy(buddy);
  return label;
}

// `slider` with its position shown as a number beside it, kept up to date as it moves.
inline QWidget* SliderWithValue(QSlider* slider) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* value = new QLabel(QString::number(slider->value()));
  value->setObjectName(slider->objectName() + "_value");
  value->setMinimumWidth(value->fontMetrics().horizontalAdvance("1000"));
  value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  QObject::connect(slider, &QSlider::valueChanged, value,
                   [value](int position) { value->setNum(position); });
  layout->addWidget(slider, 1);
  layout->addWidget(value);
  return row;
}

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_DIALOG_SUPPORT_H_
