#include "shell/add_volume_events/frm_add_volume_events.h"

#include "ui_frm_add_volume_events.h"

namespace vambrio::shell {

frmAddVolumeEvents::frmAddVolumeEvents(const Labels& labels, std::function<void()> onOk, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::frmAddVolumeEvents>()), onOk_(std::move(onOk)) {
  ui_->setupUi(this);
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  Form_Load(labels);
  connect(ui_->OKButton, &QPushButton::clicked, this, &frmAddVolumeEvents::OKButton_Click);
  connect(ui_->CancelButton, &QPushButton::clicked, this, &frmAddVolumeEvents::CancelButton_Click);
}

frmAddVolumeEvents::~frmAddVolumeEvents() = default;

frmAddVolumeEvents* frmAddVolumeEvents::Open(QPointer<frmAddVolumeEvents>& current, QWidget* parent,
                                             const std::function<Labels()>& labels, std::function<void()> onOk) {
  if (!current) {
    current = new frmAddVolumeEvents(labels(), std::move(onOk), parent);
    current->show();
  }
  current->raise();
  current->activateWindow();
  return current;
}

void frmAddVolumeEvents::Form_Load(const Labels& labels) {
  QLabel* targets[] = {ui_->Label1, ui_->Label2, ui_->Label3, ui_->Label4};
  for (size_t i = 0; i < labels.size(); ++i) targets[i]->setText(QString::fromStdString(labels[i]));
}

void frmAddVolumeEvents::OKButton_Click() {
  // Guard against a second press while the insertion's message box is up.
  ui_->OKButton->setEnabled(false);
  if (onOk_) onOk_();
  close();
}

void frmAddVolumeEvents::CancelButton_Click() { close(); }

}  // namespace vambrio::shell
