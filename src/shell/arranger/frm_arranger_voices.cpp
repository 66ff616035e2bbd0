// The Arranger window's Options menu, with the voice choices it shares with
// the main window, and the part switches' tool tips that name the voice each
// part asks for and what plays it.
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>

#include "shell/arranger/frm_arranger.h"
#include "shell/common/shown_q.h"
#include "shell/voices/voice_options.h"

namespace vambrio {

void frmArranger::SetVoiceOptions(VoiceOptions* options) {
  if (!options) return;
  voiceOptions_ = options;
  QMenu* menu = menuBar()->addMenu("&Options");
  menu->setObjectName("mnuOptions");
  options->AddTo(menu);
  connect(options, &VoiceOptions::Changed, this, &frmArranger::ShowPartVoices);
  ShowPartVoices();
}

void frmArranger::ShowPartVoices() {
  for (int part = 0; part < 8; ++part) {
    auto* box = findChild<QCheckBox*>(QString("chkPart%1").arg(part));
    if (box) box->setToolTip(QString::fromStdString(ShownLines(service_.PartVoices(part))));
  }
}

}  // namespace vambrio
