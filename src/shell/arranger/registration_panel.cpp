#include "shell/arranger/registration_panel.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <cmath>
#include <variant>

#include "midi/gm_programs.h"
#include "registration/registration_bank.h"
#include "shell/common/shown_q.h"

namespace vambrio {

QString RegistrationSummary(const registration::Registration& r) {
  QString text = r.styleFile.empty() ? QString("(no style)") : ShownFileName(r.styleFile);
  text += ", " + QString::fromStdString(r.section);
  if (r.tempo > 0) text += QString(", %1 bpm").arg(std::lround(r.tempo));
  const auto& right = r.voices[static_cast<size_t>(registration::Part::Right1)];
  if (right.on) text += QString("; Right 1 %1").arg(QString::fromStdString(midi::GmProgramName(right.program)));
  return text;
}

RegistrationPanel::RegistrationPanel(platform::ChartDialogs& dialogs, Hooks hooks, std::string settingsPath, QWidget* parent)
    : QGroupBox(tr("Registration"), parent),
      dialogs_(dialogs),
      hooks_(std::move(hooks)),
      settingsPath_(std::move(settingsPath)),
      memorize_(new QPushButton(tr("Memorize"), this)),
      freezeStyle_(new QCheckBox(tr("Freeze style/tempo"), this)),
      freezeVoices_(new QCheckBox(tr("Freeze voices"), this)),
      status_(new QLabel(this)) {
  setObjectName("fraRegistration");
  auto* grid = new QGridLayout(this);
  for (int i = 0; i < registration::kBankSize; ++i) {
    auto* button = new QPushButton(QString::number(i + 1), this);
    button->setObjectName(QString("cmdRegistration%1").arg(i + 1));
    button->setMinimumWidth(36);
    connect(button, &QPushButton::clicked, this, [this, i] {
      Press(i, memorize_->isChecked() || (QApplication::keyboardModifiers() & Qt::ShiftModifier));
    });
    grid->addWidget(button, 0, i);
    slots_[static_cast<size_t>(i)] = button;
    auto* recall = new QShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_1 + i)), parent ? parent : this);
    connect(recall, &QShortcut::activated, this, [this, i] { Press(i, false); });
    auto* keep = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | static_cast<Qt::Key>(Qt::Key_1 + i)), parent ? parent : this);
    connect(keep, &QShortcut::activated, this, [this, i] { Press(i, true); });
  }
  memorize_->setObjectName("cmdMemorize");
  memorize_->setCheckable(true);
  memorize_->setToolTip(tr("The next number pressed keeps the set-up (also Shift+click, Ctrl+Shift+1-8)"));
  freezeStyle_->setObjectName("chkFreezeStyle");
  freezeStyle_->setToolTip(tr("A recall keeps the style and tempo as they are"));
  freezeVoices_->setObjectName("chkFreezeVoices");
  freezeVoices_->setToolTip(tr("A recall keeps the player's voices as they are"));
  auto* open = new QPushButton(tr("Open Bank..."), this);
  open->setObjectName("cmdOpenBank");
  auto* save = new QPushButton(tr("Save Bank..."), this);
  save->setObjectName("cmdSaveBank");
  connect(open, &QPushButton::clicked, this, &RegistrationPanel::cmdOpenBank_Click);
  connect(save, &QPushButton::clicked, this, &RegistrationPanel::cmdSaveBank_Click);
  status_->setObjectName("lblRegistration");
  grid->addWidget(memorize_, 0, registration::kBankSize);
  grid->addWidget(freezeStyle_, 1, 0, 1, 3);
  grid->addWidget(freezeVoices_, 1, 3, 1, 3);
  grid->addWidget(open, 1, 6, 1, 2);
  grid->addWidget(save, 1, 8);
  grid->addWidget(status_, 2, 0, 1, -1);
  if (!settingsPath_.empty()) {
    QSettings file(QString::fromStdString(settingsPath_), QSettings::IniFormat);
    const std::string kept = file.value("Registration/Bank").toString().toStdString();
    if (!kept.empty() && QFileInfo::exists(QString::fromStdString(kept))) OpenBank(kept);
  }
  ShowSlots();
}

registration::Freeze RegistrationPanel::Freeze() const { return {freezeStyle_->isChecked(), freezeVoices_->isChecked()}; }

void RegistrationPanel::Press(int slot, bool memorize) {
  if (slot < 0 || slot >= registration::kBankSize) return;
  if (hooks_.learnInstead && hooks_.learnInstead(slot)) return;
  if (memorize) return Memorize(slot);
  Recall(slot);
}

void RegistrationPanel::Memorize(int slot) {
  memorize_->setChecked(false);
  bank_.entries[static_cast<size_t>(slot)] = hooks_.capture();
  status_->setText(tr("Registration %1 memorized").arg(slot + 1));
  if (!bankPath_.empty()) SaveBank(bankPath_);
  ShowSlots();
}

void RegistrationPanel::Recall(int slot) {
  const auto& kept = bank_.entries[static_cast<size_t>(slot)];
  if (!kept) {
    status_->setText(tr("Registration %1 is empty: Shift+click keeps the set-up there").arg(slot + 1));
    return;
  }
  recalled_ = slot;
  hooks_.recall(*kept, Freeze());
  status_->setText(tr("Registration %1: %2").arg(slot + 1).arg(RegistrationSummary(*kept)));
  ShowSlots();
}

bool RegistrationPanel::OpenBank(const std::string& path) {
  auto read = registration::ReadBank(path);
  if (auto* problem = std::get_if<registration::BankProblem>(&read)) {
    dialogs_.Show(problem->message);
    return false;
  }
  bank_ = std::get<registration::Bank>(read);
  bankPath_ = path;
  recalled_ = -1;
  status_->setText(tr("Bank %1").arg(ShownFileName(path)));
  Keep();
  ShowSlots();
  return true;
}

bool RegistrationPanel::SaveBank(const std::string& path) {
  if (auto problem = registration::WriteBank(path, bank_)) {
    dialogs_.Show(problem->message);
    return false;
  }
  bankPath_ = path;
  Keep();
  setTitle(tr("Registration - %1").arg(ShownFileName(path)));
  return true;
}

void RegistrationPanel::cmdOpenBank_Click() {
  const std::string path = dialogs_.OpenBank(bankPath_);
  if (!path.empty()) OpenBank(path);
}

void RegistrationPanel::cmdSaveBank_Click() {
  const std::string path = dialogs_.SaveBank(bankPath_.empty() ? "Registrations.vreg" : bankPath_);
  if (!path.empty() && SaveBank(path)) status_->setText(tr("Bank saved: %1").arg(ShownFileName(path)));
}

// A kept slot's button says what it holds; the one recalled last is marked.
void RegistrationPanel::ShowSlots() {
  for (int i = 0; i < registration::kBankSize; ++i) {
    QPushButton* button = slots_[static_cast<size_t>(i)];
    const auto& kept = bank_.entries[static_cast<size_t>(i)];
    button->setToolTip(kept ? RegistrationSummary(*kept) + tr("\nClick or Ctrl+%1 recalls; Shift+click memorizes").arg(i + 1)
                            : tr("Empty: Shift+click or Ctrl+Shift+%1 keeps the set-up here").arg(i + 1));
    button->setStyleSheet(i == recalled_ ? "font-weight: bold; background-color: #3c9a3c; color: white;"
                          : kept         ? "font-weight: bold;"
                                         : "");
  }
  setTitle(bankPath_.empty() ? tr("Registration") : tr("Registration - %1").arg(ShownFileName(bankPath_)));
}

void RegistrationPanel::Keep() const {
  if (settingsPath_.empty()) return;
  QSettings file(QString::fromStdString(settingsPath_), QSettings::IniFormat);
  file.setValue("Registration/Bank", QString::fromStdString(bankPath_));
}

}  // namespace vambrio
