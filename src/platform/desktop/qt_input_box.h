// The input box on QInputDialog.
#pragma once

#include <QPointer>
#include <QWidget>

#include "editing/input_box.h"

namespace vambrio::platform {

class QtInputBox final : public InputBox {
 public:
  explicit QtInputBox(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  // The text entered, or an empty text when the user pressed Cancel.
  std::string Ask(const std::string& prompt, const std::string& title, const std::string& initial) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace vambrio::platform
