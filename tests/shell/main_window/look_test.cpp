// The window's controls, menus and look.
#include <QAbstractButton>
#include <QDialog>
#include <QPainter>
#include <QGroupBox>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStyle>
#include <set>

#include "../arranger/fake_arranger_service.h"
#include "shell/voices/voice_options.h"
#include "test_classes.h"
#include "window_rig.h"

namespace vambrio::test {
namespace {

struct Control {
  const char* name;
  const char* text;     // caption or frame title
  const char* toolTip;  // nullptr: none required
};

const Control kControls[] = {
    {"Frame2", "Style Volume", nullptr},
    {"cmdSet", "Set", nullptr},
    {"cmdRestore", "Undo", nullptr},
    {"fraVol", "PC Sound Source Volume", nullptr},
    {"Label2", "100%", nullptr},
    {"Label1", "0%", nullptr},
    {"fraSize", "Size(bytes)", nullptr},
    {"cmdUnCheck", "Uncheck All", nullptr},
    {"cmdAllCheck", "  Check  All", nullptr},
    {"fraGM", "Player", nullptr},
    {"chkGM", "XG", "Select type of voices used by your sound source"},
    {"fraFreq", "Repeat", nullptr},
    {"chkRepeat", "Off", nullptr},
    {"FraOptions", "Chord Type", "Determines type of chord to use in playback"},
    {"OptMajor", "Major", "Plays a major chord"},
    {"OptMinor", "Minor", "Plays a minor chord"},
    {"fraStatus", "Status", nullptr},
    {"cmdStop", "Stop", nullptr},
    {"cmdPlay", "Play", nullptr},
    {"fraXG", "Use XG Voices", nullptr},
    {"chkXG", "Yes", nullptr},
    {"Frame1", "Play (down)", nullptr},
    {"chkPart0", "Rhythm Sub", nullptr},
    {"chkPart1", "Rhythm Main", nullptr},
    {"chkPart2", "Bass", nullptr},
    {"chkPart3", "Chord 1", nullptr},
    {"chkPart4", "Chord 2", nullptr},
    {"chkPart5", "Pad", nullptr},
    {"chkPart6", "Phrase 1", nullptr},
    {"chkPart7", "Phrase 2", nullptr},
    {"fraSection", "Select Style Section", nullptr},
    {"fra3", "Time Sig.", nullptr},
    {"fra2", "Tempo", nullptr},
    {"fra1", "Stylename/Copyright", nullptr},
    {"Frame3", "Play", nullptr},
};

QString CaptionOf(QWidget* w) {
  if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  return "<no caption>";
}

// Room the caption needs inside the control, beyond the text itself.
int TextWidth(QWidget* w, const QString& text) { return w->fontMetrics().horizontalAdvance(text); }

}  // namespace

void LookTest::controlsCarryTheirCaptionsAndToolTips() {
  WindowRig rig;
  rig.Start();
  QCOMPARE(rig.window->objectName(), QString("frmVambrio"));
  QCOMPARE(rig.window->windowTitle(), QString("Vambrio"));
  QVERIFY(rig.window->acceptDrops());
  for (const Control& c : kControls) {
    auto* w = rig.Find<QWidget>(c.name);
    QVERIFY2(w, c.name);
    QCOMPARE(CaptionOf(w), QString(c.text));
    if (c.toolTip) QCOMPARE(w->toolTip(), QString(c.toolTip));
  }
  auto* master = rig.Find<QSlider>("SlidMasterVolume");
  QCOMPARE(master->toolTip(), QString("Average Midi Volume All Channels"));
  QCOMPARE(master->minimum(), 0);  // 0: a style without volume events
  QCOMPARE(master->maximum(), 127);
  QCOMPARE(master->pageStep(), 5);
  QCOMPARE(master->singleStep(), 1);
  QCOMPARE(rig.Find<QSlider>("sliderVol")->toolTip(), QString("Percent of Full Volume"));
  for (const char* name : {"lblStatus", "lblSize", "lblTimeSignature", "lblTempo", "lblStyleName"})
    QVERIFY2(rig.Find<QLabel>(name), name);
  for (const char* name : {"Line1", "Line2"}) QVERIFY2(rig.Find<QFrame>(name), name);
  QVERIFY(rig.Sections());
  QVERIFY(rig.Find<QRadioButton>("OptMajor")->isChecked());
  QVERIFY(!rig.Check("chkXG")->isChecked());
}

void LookTest::menusAreInOrderAndAct() {
  WindowRig rig;
  rig.Start(rig.Style("Menu.sty"));
  QMenuBar* bar = rig.window->menuBar();
  QStringList texts;
  for (QAction* a : bar->actions()) texts << a->text();
  QCOMPARE(texts, (QStringList{"&Open Style", "Re&cent", "    O&ptions", "   Add &Vol Events", "   &Save Style", "&Edit Tempo",
                               "&Arranger", "&Library", "   Info/&Help", "   &About", "   E&xit"}));
  rig.Action("mnuArranger")->trigger();
  QCOMPARE(rig.arrangerOpened, std::vector<std::string>{rig.Style("Menu.sty")});  // with the loaded style
  QMenu* options = rig.Find<QMenu>("mnuOptions");
  QCOMPARE(bar->actions()[2], options->menuAction());
  QStringList items;
  for (QAction* a : options->actions()) items << a->text();
  QCOMPARE(items, (QStringList{"Include Sysex", "SoundFont...", "Audio Output", "Audio Latency", "", "MIDI Input",
                               "Sound Source"}));
  QAction* sysex = rig.Action("mnuSysex");
  QVERIFY(sysex->isCheckable());
  sysex->trigger();
  QVERIFY(!sysex->isChecked());
  QVERIFY(!rig.window->Choices().IncludeSysex);
  sysex->trigger();
  QVERIFY(rig.window->Choices().IncludeSysex);

  // The top-level commands act on a click of the menu bar itself.
  auto click = [&](const char* name) {
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(rig.Action(name)).center());
  };
  click("mnuOpen");
  QCOMPARE(rig.dialogs.calls.size(), size_t{1});
  click("mnuSaveStyle");
  QCOMPARE(rig.dialogs.calls.size(), size_t{2});
  QCOMPARE(rig.dialogs.calls.back().kind, std::string("SaveStyle"));
  click("mnuTempo");
  QCOMPARE(rig.input.calls.size(), size_t{1});
  QCOMPARE(rig.input.calls[0].title, std::string("Edit Tempo"));
  QCOMPARE(rig.input.calls[0].initial, std::string("120"));
  QTest::mouseDClick(rig.Find<QLabel>("lblTempo"), Qt::LeftButton);  // lblTempo_DblClick
  QCOMPARE(rig.input.calls.size(), size_t{2});
  click("mnuVolumeEvents");
  QVERIFY(rig.window->findChild<QDialog*>("frmAddVolumeEvents"));
  QSignalSpy library(rig.window.get(), &frmVambrio::libraryRequested);
  click("mnuLibrary");
  QCOMPARE(library.count(), 1);
  click("mnuHelp");
  QCOMPARE(rig.shell.opened.size(), size_t{1});
  QVERIFY(QString::fromStdString(rig.shell.opened[0]).endsWith("Vambrio.pdf"));
  click("mnuAbout");
  QVERIFY(rig.window->findChild<QDialog*>("frmAbout"));
  click("mnuExit");
  QVERIFY(!rig.window->isVisible());
}

void LookTest::playAndStopCarryMediaIcons() {
  WindowRig rig;
  rig.Start();
  QStyle* style = rig.window->style();
  QCOMPARE(rig.Button("cmdPlay")->icon().cacheKey() != 0, true);
  QCOMPARE(rig.Button("cmdPlay")->icon().pixmap(16).toImage(),
           style->standardIcon(QStyle::SP_MediaPlay).pixmap(16).toImage());
  QCOMPARE(rig.Button("cmdStop")->icon().pixmap(16).toImage(),
           style->standardIcon(QStyle::SP_MediaStop).pixmap(16).toImage());
}

void LookTest::everyCaptionIsShownInFull() {
  // Run at the default scale and again with QT_SCALE_FACTOR=1.5 (a test of its own).
  WindowRig rig;
  rig.Start(rig.Style("Fit.sty"));
  QApplication::processEvents();
  for (const Control& c : kControls) {
    auto* w = rig.Find<QWidget>(c.name);
    QVERIFY2(w->isVisible(), c.name);
    QString text = QString(c.text).remove('&');
    int need = TextWidth(w, text);
    int have = w->contentsRect().width();
    if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QGroupBox*>(w)) {
      // Buttons and frames draw their own margins: their size hint holds the full caption.
      have = w->width();
      need = w->minimumSizeHint().width();
    }
    QVERIFY2(have >= need, qPrintable(QString("%1: %2 < %3").arg(c.name).arg(have).arg(need)));
  }
  for (QAction* a : rig.window->menuBar()->actions()) {
    QRect r = rig.window->menuBar()->actionGeometry(a);
    QVERIFY2(r.isValid() && rig.window->menuBar()->rect().contains(r), qPrintable(a->text()));
  }
  // The master volume's value has room for its widest, 127, beside the slider.
  QLabel* volume = rig.Find<QLabel>("lblMasterVolume");
  QVERIFY(volume->isVisible());
  QVERIFY(volume->contentsRect().width() >= TextWidth(volume, "127"));
  QVERIFY(volume->geometry().left() >= rig.Find<QSlider>("SlidMasterVolume")->geometry().right());
  QLabel* name = rig.Find<QLabel>("lblStyleName");
  QVERIFY(name->width() >= TextWidth(name, name->text()) || name->wordWrap());
}

void LookTest::screenshotIsNotBlank() {
  WindowRig rig;
  rig.Start(std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.sty");
  rig.Sections()->setCurrentIndex(2);
  QApplication::processEvents();
  QImage shot = rig.window->grab().toImage();
  QVERIFY(!shot.isNull());
  std::filesystem::path dir = std::filesystem::path(VAMBRIO_BINARY_DIR) / "test-artifacts";
  std::filesystem::create_directories(dir);
  QString file = QString::fromStdString((dir / "main-window.png").string());
  if (qgetenv("QT_SCALE_FACTOR").isEmpty()) QVERIFY(shot.save(file));
  // Not blank: many colours, and text drawn in more than a few places.
  std::set<QRgb> colours;
  int dark = 0;
  for (int y = 0; y < shot.height(); y += 2) {
    for (int x = 0; x < shot.width(); x += 2) {
      QRgb p = shot.pixel(x, y);
      colours.insert(p);
      if (qGray(p) < 96) ++dark;
    }
  }
  QVERIFY2(colours.size() > 20, qPrintable(QString::number(colours.size())));
  QVERIFY2(dark > 500, qPrintable(QString::number(dark)));
}

// The Options menu open over the window, as the manual shows it
// (test-artifacts/options-menu.png is docs/images/options-menu.png): every
// choice inside the menu, and the menu drawn over the window.
void LookTest::optionsMenuPicture() {
  WindowRig rig;
  FakeArrangerService live;
  rig.seamless = &live;
  rig.Start(std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.sty");
  VoiceOptions voices(rig.work.File("Sound.ini"));
  rig.window->partVoices().SetOptions(&voices);
  QApplication::processEvents();
  const QImage plain = rig.window->grab().toImage();
  auto* options = rig.Find<QMenu>("mnuOptions");
  rig.window->menuBar()->setActiveAction(options->menuAction());
  QTRY_VERIFY(options->isVisible());
  QStringList captions;
  for (QAction* a : options->actions()) {
    if (a->isSeparator()) continue;
    captions << a->text().remove('&');
    QVERIFY2(options->rect().contains(options->actionGeometry(a)), qPrintable(a->text()));
  }
  QVERIFY2(captions.contains("Play seamlessly") && captions.contains("Voices"), qPrintable(captions.join(", ")));
  QApplication::processEvents();
  // The window with the menu drawn where it lies over it.
  const QRect area = rig.window->geometry();
  QImage shot = rig.window->grab().toImage();
  {
    QPainter painter(&shot);
    painter.drawImage(options->pos() - area.topLeft(), options->grab().toImage());
  }
  options->close();
  std::filesystem::path dir = std::filesystem::path(VAMBRIO_BINARY_DIR) / "test-artifacts";
  std::filesystem::create_directories(dir);
  if (qgetenv("QT_SCALE_FACTOR").isEmpty()) QVERIFY(shot.save(QString::fromStdString((dir / "options-menu.png").string())));
  // Where the menu lies, the picture is not the window alone.
  const QRect menu = QRect(options->pos() - area.topLeft(), options->size()).intersected(shot.rect());
  QVERIFY(!menu.isEmpty());
  const QImage& base = plain;
  int differing = 0;
  for (int y = menu.top(); y < menu.bottom(); y += 2)
    for (int x = menu.left(); x < menu.right(); x += 2)
      if (shot.pixel(x, y) != base.pixel(x, y)) ++differing;
  QVERIFY2(differing > menu.width() * menu.height() / 40, qPrintable(QString::number(differing)));
}

}  // namespace vambrio::test
