#include "shell/arranger/ots_panel.h"
#include "shell/common/shown_q.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "midi/gm_programs.h"

namespace vambrio {

std::string OtsDescription(const OneTouchSetting& setting) {
  std::string text;
  for (int p = 0; p < kOtsPartCount; ++p) {
    const OtsPart& part = setting.parts[static_cast<size_t>(p)];
    if (!part.HasVoice()) continue;
    text += (text.empty() ? "" : "\n") + std::string(OtsPartName(p)) + ": " + midi::GmProgramName(part.program);
    if (part.volume >= 0) text += ", volume " + std::to_string(part.volume);
  }
  return text;
}

OtsPanel::OtsPanel(std::function<void(int, bool)> onRecall, std::function<void(bool)> onLink, QWidget* parent)
    : QWidget(parent), onRecall_(std::move(onRecall)), onLink_(std::move(onLink)), link_(new QCheckBox(tr("OTS Link"), this)) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(new QLabel(tr("One Touch:"), this));
  for (int i = 0; i < kOtsCount; ++i) {
    auto* button = new QPushButton(tr("OTS %1").arg(i + 1), this);
    button->setObjectName(QString("cmdOts%1").arg(i + 1));
    button->setCheckable(true);
    connect(button, &QPushButton::clicked, this, [this, i] { Recall(i); });
    buttons_[static_cast<size_t>(i)] = button;
    row->addWidget(button);
  }
  link_->setObjectName("chkOtsLink");
  link_->setToolTip(tr("Main A-D recall OTS 1-4 on the bar line where they start"));
  connect(link_, &QCheckBox::toggled, this, [this](bool on) {
    if (onLink_) onLink_(on);
  });
  row->addWidget(link_);
  SetSettings({});
}

void OtsPanel::SetSettings(const std::vector<OneTouchSetting>& settings) {
  settings_ = settings;
  recalled_ = -1;
  for (int i = 0; i < kOtsCount; ++i) {
    QPushButton* button = buttons_[static_cast<size_t>(i)];
    const bool usable = static_cast<size_t>(i) < settings_.size() && settings_[static_cast<size_t>(i)].usable;
    button->setEnabled(usable);
    button->setChecked(false);
    button->setToolTip(usable ? QString::fromStdString(ShownLines(OtsDescription(settings_[static_cast<size_t>(i)])))
                              : tr("The style has no such setting"));
  }
  link_->setEnabled(!settings_.empty());
}

void OtsPanel::SetLink(bool on) { link_->setChecked(on); }

void OtsPanel::Forget() {
  recalled_ = -1;
  for (QPushButton* button : buttons_) button->setChecked(false);
}

bool OtsPanel::Link() const { return link_->isChecked(); }

void OtsPanel::Recall(int setting, bool byLink) {
  if (setting < 0 || static_cast<size_t>(setting) >= settings_.size() || !settings_[static_cast<size_t>(setting)].usable) return;
  recalled_ = setting;
  for (int i = 0; i < kOtsCount; ++i) buttons_[static_cast<size_t>(i)]->setChecked(i == setting);
  if (onRecall_) onRecall_(setting, byLink);
}

void OtsPanel::FollowSection(const std::string& section) {
  const bool started = section != lastSection_;
  lastSection_ = section;
  if (!started || !link_->isChecked() || section.size() != 6 || section.rfind("Main ", 0) != 0) return;
  const int variation = section[5] - 'A';
  if (variation >= 0 && variation < kOtsCount) Recall(variation, true);
}

}  // namespace vambrio
