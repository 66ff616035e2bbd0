// frmLibrary offscreen: indexing in the background, search as the user
// types, filters, sorting, duplicates, favourites, the preview on selection,
// and Enter opening the style in the main window as "&Open Style" does.
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include "fakes/fake_folder_dialog.h"
#include "library/library_database.h"
#include "library_test_support.h"
#include "shell/library/frm_library.h"
#include "shell/library/library_table_model.h"
#include "window_rig.h"

namespace vambrio::test {
namespace {

class FakePreview final : public shell::StylePreview {
 public:
  void Play(const std::string& path) override {
    calls.push_back("play " + BaseName(path));
    playing = true;
  }
  void Stop() override {
    calls.push_back("stop");
    playing = false;
  }
  bool Playing() const override { return playing; }
  bool playing = false;
  static std::string BaseName(const std::string& p) { return p.substr(p.find_last_of('/') + 1); }
  std::vector<std::string> calls;
};

// A library window over a generated collection, on fakes.
struct LibraryRig {
  LibraryRig() {
    Put(styles.path(), "Ballroom/Slow Waltz.sty", NamedStyle("Slow Waltz", 87, 3, 2, "SFF2"));
    Put(styles.path(), "Ballroom/Viennese Waltz.prs", NamedStyle("Viennese Waltz", 180, 3, 2));
    Put(styles.path(), "Pop/Pop Rock.sty", NamedStyle("Pop Rock", 120));
    Put(styles.path(), "Pop/Pop Rock copy.sty", NamedStyle("Pop Rock", 120));
    Put(styles.path(), "Latin/Bossa Nova.sst", NamedStyle("Bossa Nova", 128));
    Put(styles.path(), "Latin/Broken.sty", {'M', 'T', 'h', 'd'});
  }

  void Open(bool withPreview = true) {
    shell::LibraryWindowServices services{QString::fromStdString(data.File("library.sqlite")), boxes, folders,
                                          withPreview ? &preview : nullptr, {}, openInArranger};
    services.openStyle = [this](const std::string& path) {
      opened.push_back(path);
      if (alsoOpen) alsoOpen(path);
    };
    window = std::make_unique<shell::frmLibrary>(std::move(services));
    window->show();
    QTRY_VERIFY_WITH_TIMEOUT(!window->Indexing(), 10000);
  }
  void AddCollection() {
    folders.answers.push_back(styles.path().string());
    window->AddFolder();
    QTRY_VERIFY_WITH_TIMEOUT(!window->Indexing(), 10000);
  }

  template <typename T>
  T* Find(const char* name) const {
    return window->findChild<T*>(QString::fromLatin1(name));
  }
  QTableView* Table() const { return Find<QTableView>("tblStyles"); }
  int Rows() const { return window->model().rowCount(); }
  QStringList Column(int column) const {
    QStringList out;
    for (int r = 0; r < Rows(); ++r) out << window->model().index(r, column).data().toString();
    return out;
  }
  QStringList Names() const { return Column(shell::LibraryTableModel::Name); }
  void Select(int row) { Table()->setCurrentIndex(window->model().index(row, shell::LibraryTableModel::Name)); }

  TempDir styles;
  TempDir data;
  FakeMessageBoxes boxes;
  FakeFolderDialog folders;
  FakePreview preview;
  std::vector<std::string> opened;
  std::function<void(const std::string&)> alsoOpen;
  std::function<void(const std::string&)> openInArranger;
  std::unique_ptr<shell::frmLibrary> window;
};

}  // namespace

class LibraryWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void addFolderIndexesItInTheBackground() {
    LibraryRig rig;
    rig.Open();
    QCOMPARE(rig.Rows(), 0);
    QVERIFY(rig.Find<QLabel>("lblStatus")->text().contains("Add Folder"));
    rig.AddCollection();
    QCOMPARE(rig.Rows(), 6);
    QCOMPARE(rig.Find<QLabel>("lblStatus")->text(), QString("6 of 6 styles"));
    QVERIFY(!rig.Find<QWidget>("prgIndex")->isVisible());
    // The file that does not load is listed with its error.
    QVERIFY(rig.Names().contains("The program could not process this file"));
    QCOMPARE(rig.folders.starts, std::vector<std::string>{""});
  }

  // A file's name is shown escaped, never raw.
  void fileNamesAreShownEscaped() {
    LibraryRig rig;
    Put(rig.styles.path(), "Pop/Esc\x1b.sty", NamedStyle("Escaped", 100));
    rig.Open();
    rig.AddCollection();
    QVERIFY(rig.Column(shell::LibraryTableModel::File).contains("Esc\\e.sty"));
  }

  void searchFiltersAsTheUserTypes() {
    LibraryRig rig;
    rig.Open();
    rig.AddCollection();
    auto* search = rig.Find<QLineEdit>("txtSearch");
    QTest::keyClicks(search, "wal");
    QCOMPARE(rig.Names(), (QStringList{"Slow Waltz", "Viennese Waltz"}));
    QTest::keyClicks(search, "tz vien");
    QCOMPARE(rig.Names(), QStringList{"Viennese Waltz"});
    QCOMPARE(rig.Find<QLabel>("lblStatus")->text(), QString("1 of 6 styles"));
    search->clear();
    QTest::keyClicks(search, "LATIN");  // the folder
    QCOMPARE(rig.Rows(), 2);
    search->clear();

    auto* ts = rig.Find<QComboBox>("cboTimeSignature");
    QCOMPARE(ts->itemText(1), QString("4/4"));  // the most common first
    ts->setCurrentText("3/4");
    QCOMPARE(rig.Rows(), 2);
    rig.Find<QSpinBox>("spnTempoMax")->setValue(100);
    QCOMPARE(rig.Names(), QStringList{"Slow Waltz"});
    ts->setCurrentIndex(0);
    rig.Find<QSpinBox>("spnTempoMax")->setValue(0);
    rig.Find<QSpinBox>("spnTempoMin")->setValue(125);
    QCOMPARE(rig.Names(), (QStringList{"Bossa Nova", "Viennese Waltz"}));
    rig.Find<QComboBox>("cboFormat")->setCurrentText("SFF2");
    QCOMPARE(rig.Rows(), 0);
  }

  void sortingByAnyColumnKeepsTheSelection() {
    LibraryRig rig;
    rig.Open();
    rig.AddCollection();
    QHeaderView* header = rig.Table()->horizontalHeader();
    auto clickHeader = [&](int column) {
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                        QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    clickHeader(shell::LibraryTableModel::Tempo);
    QCOMPARE(rig.Column(shell::LibraryTableModel::Tempo), (QStringList{"", "87", "120", "120", "128", "180"}));
    rig.Select(5);
    clickHeader(shell::LibraryTableModel::Tempo);
    QCOMPARE(rig.Column(shell::LibraryTableModel::Tempo), (QStringList{"180", "128", "120", "120", "87", ""}));
    QCOMPARE(rig.Table()->currentIndex().row(), 0);  // still Viennese Waltz
    clickHeader(shell::LibraryTableModel::File);
    QCOMPARE(rig.Column(shell::LibraryTableModel::File),
             (QStringList{"Bossa Nova.sst", "Broken.sty", "Pop Rock copy.sty", "Pop Rock.sty", "Slow Waltz.sty",
                          "Viennese Waltz.prs"}));
    clickHeader(shell::LibraryTableModel::Folder);
    QCOMPARE(rig.Column(shell::LibraryTableModel::Folder).first(), QString::fromStdString(rig.styles.path().string() + "/Ballroom"));
  }

  void previewFollowsTheSelectionUntilStop() {
    LibraryRig rig;
    rig.Open();
    rig.AddCollection();
    // By name: the broken file (no name), Bossa Nova, the two Pop Rocks, Slow Waltz, Viennese Waltz.
    rig.Table()->setFocus();
    rig.Select(1);
    QTest::keyClick(rig.Table(), Qt::Key_Down);  // the arrow keys preview each style in turn
    QTest::keyClick(rig.Table(), Qt::Key_Down);
    using Calls = std::vector<std::string>;
    QCOMPARE(rig.preview.calls, (Calls{"play Bossa Nova.sst", "play Pop Rock copy.sty", "play Pop Rock.sty"}));
    rig.Find<QPushButton>("cmdStop")->click();
    QCOMPARE(rig.preview.calls.back(), std::string("stop"));
    QVERIFY(!rig.Find<QPushButton>("cmdStop")->isEnabled());

    rig.preview.calls.clear();
    rig.Select(4);
    rig.Find<QCheckBox>("chkPreview")->setChecked(false);
    rig.Select(1);  // no preview while it is off
    rig.Find<QCheckBox>("chkPreview")->setChecked(true);
    rig.Select(0);  // a file that does not load has nothing to play
    rig.Select(5);
    rig.window->hide();  // a hidden window is silent
    QCOMPARE(rig.preview.calls, (Calls{"play Slow Waltz.sty", "stop", "play Bossa Nova.sst", "stop",
                                       "play Viennese Waltz.prs", "stop"}));
  }

  void onlyASelectedRowIsPreviewedAndStopFollowsThePreview() {
    LibraryRig rig;
    rig.Open();
    rig.AddCollection();
    rig.window->activateWindow();
    QTRY_VERIFY(rig.window->isActiveWindow());
    rig.Table()->setFocus(Qt::TabFocusReason);  // the table reached with Tab makes a row current, unselected
    QTRY_VERIFY(rig.Table()->currentIndex().isValid());
    QVERIFY(rig.preview.calls.empty());

    rig.Select(2);
    auto* stop = rig.Find<QPushButton>("cmdStop");
    QVERIFY(stop->isEnabled());
    rig.preview.playing = false;  // the Arranger window took the sound
    QTRY_VERIFY(!stop->isEnabled());
    rig.Select(3);
    QVERIFY(stop->isEnabled());
    QCOMPARE(rig.preview.calls.back(), std::string("play Pop Rock.sty"));
  }

  void enterOpensTheStyleInTheMainWindow() {
    WindowRig main;
    main.Start(main.Style("First.sty"));
    main.Sections()->setCurrentIndex(1);
    main.Button("cmdPlay")->click();
    QVERIFY(!main.Button("cmdPlay")->isEnabled());

    LibraryRig rig;
    rig.alsoOpen = [&](const std::string& path) { main.window->OpenStyle(path); };
    rig.Open();
    rig.AddCollection();
    auto* search = rig.Find<QLineEdit>("txtSearch");
    QTest::keyClicks(search, "bossa");
    QTest::keyClick(search, Qt::Key_Return);  // to the first result, which starts its preview
    QCOMPARE(rig.preview.calls.back(), std::string("play Bossa Nova.sst"));
    QTest::keyClick(rig.Table(), Qt::Key_Return);
    QCOMPARE(rig.opened, std::vector<std::string>{rig.styles.path().string() + "/Latin/Bossa Nova.sst"});
    QCOMPARE(rig.preview.calls.back(), std::string("stop"));
    // In the main window exactly as its own Open: the playback stopped, the style loaded.
    QCOMPARE(main.Text("lblStyleName"), QString("Bossa Nova - Vambrio"));
    QVERIFY(main.window->windowTitle().endsWith("Bossa Nova.sst"));
    QVERIFY(main.Button("cmdPlay")->isEnabled());
    main.timer.RunPending();
    QCOMPARE(main.sequencer.Commands().back(), std::string("close"));

    QPoint cell = rig.Table()->visualRect(rig.window->model().index(0, shell::LibraryTableModel::File)).center();
    QTest::mouseClick(rig.Table()->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(rig.Table()->viewport(), Qt::LeftButton, {}, cell);
    QCOMPARE(rig.opened.size(), size_t{2});
  }

  void duplicatesFavouritesAndRemovingAFolder() {
    LibraryRig rig;
    rig.Open();
    rig.AddCollection();
    rig.Find<QPushButton>("cmdDuplicates")->click();
    QCOMPARE(rig.Column(shell::LibraryTableModel::File), (QStringList{"Pop Rock copy.sty", "Pop Rock.sty"}));
    rig.Find<QPushButton>("cmdDuplicates")->click();
    QCOMPARE(rig.Rows(), 6);

    rig.Find<QLineEdit>("txtSearch")->setText("bossa");
    QModelIndex star = rig.window->model().index(0, shell::LibraryTableModel::Favourite);
    QTest::mouseClick(rig.Table()->viewport(), Qt::LeftButton, {}, rig.Table()->visualRect(star).center());
    QCOMPARE(star.data().toString(), QString("\u2605"));
    rig.Find<QLineEdit>("txtSearch")->clear();
    rig.Find<QCheckBox>("chkFavourites")->setChecked(true);
    QCOMPARE(rig.Names(), QStringList{"Bossa Nova"});
    {  // kept in the index
      library::LibraryDatabase db(QString::fromStdString(rig.data.File("library.sqlite")));
      auto rows = db.Rows();
      QCOMPARE(std::count_if(rows.begin(), rows.end(), [](const auto& r) { return r.favourite; }), 1);
    }
    rig.Find<QCheckBox>("chkFavourites")->setChecked(false);

    rig.window->RemoveFolder(rig.styles.path().string());
    QCOMPARE(rig.Rows(), 0);
  }

  void aDamagedIndexIsRebuiltWithAMessage() {
    LibraryRig rig;
    std::ofstream(rig.data.File("library.sqlite"), std::ios::binary) << std::string(4096, 'x');
    rig.Open();
    QCOMPARE(rig.boxes.shown.size(), size_t{1});
    QVERIFY(QString::fromStdString(rig.boxes.shown[0]).contains("damaged"));
    rig.AddCollection();
    QCOMPARE(rig.Rows(), 6);
  }

  void everyCaptionIsShownInFull() {
    LibraryRig rig;
    rig.Open();
    rig.window->resize(rig.window->minimumSizeHint());
    QApplication::processEvents();
    for (const char* name : {"lblTimeSignature", "lblTempo", "lblTempoTo"}) {
      auto* label = rig.Find<QLabel>(name);
      int need = label->fontMetrics().horizontalAdvance(label->text().remove('&'));
      QVERIFY2(label->contentsRect().width() >= need,
               qPrintable(QString("%1: %2 < %3").arg(name).arg(label->contentsRect().width()).arg(need)));
    }
  }

  void arrangerButtonOpensTheStyleThere() {
    LibraryRig rig;
    std::vector<std::string> arranged;
    rig.openInArranger = [&](const std::string& path) { arranged.push_back(path); };
    rig.Open();
    rig.AddCollection();
    auto* button = rig.Find<QPushButton>("cmdArranger");
    QVERIFY(button->isVisible());
    QVERIFY(!button->isEnabled());
    rig.Select(0);  // the file that does not load
    QVERIFY(!button->isEnabled());
    rig.Select(1);
    button->click();
    QCOMPARE(arranged, std::vector<std::string>{rig.styles.path().string() + "/Latin/Bossa Nova.sst"});
    QCOMPARE(rig.preview.calls.back(), std::string("stop"));
  }

  void withoutAPreviewOrArrangerTheirButtonsAreHidden() {
    LibraryRig rig;
    rig.Open(false);
    QVERIFY(!rig.Find<QCheckBox>("chkPreview")->isVisible());
    QVERIFY(!rig.Find<QPushButton>("cmdStop")->isVisible());
    QVERIFY(!rig.Find<QPushButton>("cmdArranger")->isVisible());
    QVERIFY(!rig.Find<QPushButton>("cmdOpen")->isEnabled());
  }
};

}  // namespace vambrio::test

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  vambrio::test::LibraryWindowTest t;
  return QTest::qExec(&t, argc, argv);
}

#include "library_window_test.moc"
