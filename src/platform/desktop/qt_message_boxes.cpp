#include "platform/desktop/qt_message_boxes.h"

#include <QMessageBox>

namespace vambrio::platform {
namespace {

constexpr const char* kTitle = "Vambrio";

}  // namespace

void QtMessageBoxes::Show(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, kTitle, QString::fromStdString(text), QMessageBox::Ok, parent_);
  box.exec();
}

bool QtMessageBoxes::AskOkCancel(const std::string& text) {
  QMessageBox box(QMessageBox::Warning, kTitle, QString::fromStdString(text), QMessageBox::Ok | QMessageBox::Cancel,
                  parent_);
  box.setDefaultButton(QMessageBox::Ok);
  box.setEscapeButton(QMessageBox::Cancel);
  return box.exec() == QMessageBox::Ok;
}

}  // namespace vambrio::platform
