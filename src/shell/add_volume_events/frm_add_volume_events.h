// frmAddVolumeEvents: explains what adding initial volume events does, shows
// how many the style has, and runs the insertion on OK. Not modal; deleted
// when it closes, so every opening builds it anew and reads the count again.
#pragma once

#include <QDialog>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <string>

namespace Ui {
class frmAddVolumeEvents;
}

namespace vambrio::shell {

class frmAddVolumeEvents final : public QDialog {
  Q_OBJECT

 public:
  using Labels = std::array<std::string, 4>;

  // labels: the texts of Label1..Label4 (AddVolumeEventsLabels of the loaded
  // style); onOk: runs InsertVolumeEvents for the style loaded at that moment.
  frmAddVolumeEvents(const Labels& labels, std::function<void()> onOk, QWidget* parent = nullptr);
  ~frmAddVolumeEvents() override;

  // The menu command's step: shows a new dialog in `current`, or only brings
  // the open one forward (its labels are not refreshed). Returns the dialog.
  static frmAddVolumeEvents* Open(QPointer<frmAddVolumeEvents>& current, QWidget* parent,
                                  const std::function<Labels()>& labels, std::function<void()> onOk);

 private:
  void Form_Load(const Labels& labels);
  void OKButton_Click();
  void CancelButton_Click();

  std::unique_ptr<Ui::frmAddVolumeEvents> ui_;
  std::function<void()> onOk_;
};

}  // namespace vambrio::shell
