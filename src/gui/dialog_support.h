#ifndef KELVARO_GUI_DIALOG_SUPPORT_H_
#define KELVARO_GUI_DIALOG_SUPPORT_H_

// What every dialog view is built from. A dialog is `XDialog(XModel& model, const UiText&
// texts, QWidget* parent)`: its captions come from `texts` by id, its controls are named by
// DialogControlName, and what a control does goes to the model.

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QString>
#include <string>
#include <string_view>

#include "app/control_names.h"
#include "settings/ui_text.h"

namespace kelvaro::gui {

inline QString Q(const std::string& text) { return QString::fromStdString(text); }

// A UiText entry as a widget text: CR LF line breaks become plain ones.
inline QString TextOf(const UiText& texts, int text) {
  return QString::fromStdString(texts.Get(text)).replace("\r\n", "\n");
}

// `widget` named after the English name it is known by.
template <typename W>
W* Named(W* widget, std::string_view english_name) {
  widget->setObjectName(Q(DialogControlName(english_name)));
  return widget;
}
// `widget` named after UiText entry `text`, and `suffix` for the second control of a label.
template <typename W>
W* Named(W* widget, int text, std::string_view suffix = {}) {
  widget->setObjectName(Q(DialogControlName(text, suffix)));
  return widget;
}

// A push button captioned and named by a UiText entry. Return in a box finishes the typing;
// it never presses a button.
inline QPushButton* CaptionedButton(const UiText& texts, int text) {
  auto* button = Named(new QPushButton(TextOf(texts, text)), text);
  button->setAutoDefault(false);
  return button;
}

// A caption that names `buddy` for screen readers.
inline QLabel* BuddyLabel(const QString& text, QWidget* buddy) {
  auto* label = new QLabel(text);
  label->setBuddy(buddy);
  return label;
}

// UiText entry `text` as the caption of `control`, which is named after it.
inline QLabel* CaptionFor(const UiText& texts, int text, QWidget* control) {
  Named(control, text);
  return BuddyLabel(TextOf(texts, text), control);
}

// A wrapped explanation at least `width` pixels wide.
inline QLabel* Note(const QString& text, int width = 0) {
  auto* note = new QLabel(text);
  note->setWordWrap(true);
  if (width > 0) note->setMinimumWidth(width);
  return note;
}

// `label` in bold.
inline QLabel* Bold(QLabel* label) {
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  return label;
}

// The buttons of a dialog's last row, pushed to the right.
inline QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons) {
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  for (QPushButton* button : buttons) row->addWidget(button);
  return row;
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
