#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QString>

// Keys and text sent to a widget the way a user types them.
namespace PuxTestInput {

inline void press(QWidget* w, int key, const QString& text = QString(),
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(w, &down);
  QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(w, &up);
}

inline void type(QWidget* w, const QString& text) {
  for (const QChar c : text) press(w, 0, QString(c));
}

// Replaces the whole text of an edit: select all, delete, type.
inline void retype(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  press(edit, Qt::Key_Backspace);
  type(edit, text);
}

}  // namespace PuxTestInput
