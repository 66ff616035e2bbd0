#include "platform/desktop/qt_input_box.h"

#include <QInputDialog>

namespace vambrio::platform {

std::string QtInputBox::Ask(const std::string& prompt, const std::string& title, const std::string& initial) {
  bool ok = false;
  QString text = QInputDialog::getText(parent_, QString::fromStdString(title), QString::fromStdString(prompt),
                                       QLineEdit::Normal, QString::fromStdString(initial), &ok);
  return ok ? text.toStdString() : std::string();
}

}  // namespace vambrio::platform
