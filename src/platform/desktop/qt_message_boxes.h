// Message boxes on QMessageBox: modal, titled "Vambrio".
#pragma once

#include <QPointer>
#include <QWidget>

#include "model/message_box.h"

namespace vambrio::platform {

class QtMessageBoxes final : public MessageBoxes {
 public:
  // parent: the window the boxes belong to (may be null, or set later).
  explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  // OK button only, no icon.
  void Show(const std::string& text) override;
  // OK and Cancel with the warning icon; true when the user chose OK.
  bool AskOkCancel(const std::string& text) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace vambrio::platform
