// The Arranger window's registrations: a bank of eight, each recalled by its
// button, by Ctrl+1-8 or by a learned MIDI control, and memorized by its
// button with Shift (or after "Memorize"), or by Ctrl+Shift+1-8. "Freeze"
// keeps the style and tempo, or the player's voices, as they are when
// recalling. A bank is opened from and saved to a ".vreg" file; memorizing
// into a bank that came from a file writes it there. A file that is not a
// bank is reported and never written over. The bank in use is kept in
// "Sound.ini".
#pragma once

#include <QGroupBox>
#include <array>
#include <functional>
#include <string>

#include "platform/desktop/chart_dialogs.h"
#include "registration/registration.h"
#include "registration/registration_recall.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace vambrio {

class RegistrationPanel : public QGroupBox {
  Q_OBJECT

 public:
  struct Hooks {
    std::function<registration::Registration()> capture;  // the set-up now
    std::function<void(const registration::Registration&, registration::Freeze)> recall;
    std::function<bool(int slot)> learnInstead;  // MIDI learn arms the slot's control instead: true when it did
  };
  RegistrationPanel(platform::ChartDialogs& dialogs, Hooks hooks, std::string settingsPath, QWidget* parent = nullptr);

  // A slot's button (0..7): recalls, or memorizes with Shift or after Memorize.
  void Press(int slot, bool memorize);
  void Memorize(int slot);
  void Recall(int slot);
  // False (reported) when the file is not a bank; the bank in use stays.
  bool OpenBank(const std::string& path);
  // False (reported) when it could not be written or a file there is not a bank.
  bool SaveBank(const std::string& path);
  void cmdOpenBank_Click();
  void cmdSaveBank_Click();

  registration::Freeze Freeze() const;
  const registration::Bank& Bank() const { return bank_; }
  const std::string& BankPath() const { return bankPath_; }
  int Recalled() const { return recalled_; }

 private:
  void ShowSlots();
  void Keep() const;

  platform::ChartDialogs& dialogs_;
  Hooks hooks_;
  std::string settingsPath_;
  registration::Bank bank_;
  std::string bankPath_;  // "" : the bank lives in the window only
  int recalled_ = -1;
  std::array<QPushButton*, registration::kBankSize> slots_{};
  QPushButton* memorize_;
  QCheckBox* freezeStyle_;
  QCheckBox* freezeVoices_;
  QLabel* status_;
};

// "Demo.sty, Main B, 96 bpm; Right 1 Violin" for a slot's tool tip.
QString RegistrationSummary(const registration::Registration& r);

}  // namespace vambrio
