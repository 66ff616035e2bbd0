// The library window over an index of 10,000 styles (offscreen): opening it,
// and each keystroke of a search until the table is painted again. Prints the
// figures (goal: a search updates the table in <= 50 ms).
#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <chrono>
#include <cstdio>

#include "fakes/fake_folder_dialog.h"
#include "fakes/fake_message_boxes.h"
#include "library/library_database.h"
#include "shell/library/frm_library.h"
#include "shell/library/library_table_model.h"
#include "temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }

const char* const kWords[] = {"Pop", "Rock", "Bossa", "Waltz", "Swing", "Ballad", "Latin", "Country", "Dance", "Jazz"};

// An index of count styles, as if read from 200 folders.
void FillIndex(const QString& file, int count) {
  vambrio::library::LibraryDatabase db(file);
  std::vector<vambrio::library::IndexedFile> files;
  for (int i = 0; i < count; ++i) {
    vambrio::library::IndexedFile f;
    std::string name = std::string(kWords[i % 10]) + " " + kWords[(i / 10) % 10] + " " + std::to_string(i);
    f.path = "/home/user/Styles/Set " + std::to_string(i % 200) + "/" + name + ".sty";
    f.stamp = {30000 + i, i};
    f.summary.name = name;
    f.summary.tempo = 60 + i % 120;
    f.summary.timeSignature = i % 7 == 0 ? "3/4" : "4/4";
    f.summary.format = i % 3 == 0 ? "SFF2" : "SFF1";
    f.summary.sections = {"Intro A", "Main A", "Main B", "Fill In AA", "Ending A"};
    f.summary.hash = std::to_string(i % 9000);
    files.push_back(std::move(f));
  }
  db.Store(files);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int count = 10000;
  vambrio::test::TempDir data;
  QString file = QString::fromStdString(data.File("library.sqlite"));
  FillIndex(file, count);

  vambrio::test::FakeMessageBoxes boxes;
  vambrio::test::FakeFolderDialog folders;
  auto start = Clock::now();
  vambrio::shell::frmLibrary window({file, boxes, folders, nullptr, {}, {}});
  window.resize(1100, 700);
  window.show();
  auto* table = window.findChild<QTableView*>("tblStyles");
  table->viewport()->repaint();
  std::printf("open the window on %d styles: %.1f ms\n", window.model().TotalCount(), Ms(start));

  auto* search = window.findChild<QLineEdit*>("txtSearch");
  double worst = 0;
  for (const char* text : {"p", "po", "pop", "pop ", "pop r", "pop ro", "pop roc", "pop rock", "pop rock 1", "", "3"}) {
    start = Clock::now();
    search->setText(QString::fromUtf8(text));
    table->viewport()->repaint();
    double ms = Ms(start);
    worst = std::max(worst, ms);
    std::printf("search \"%s\": %d rows shown, table updated in %.1f ms\n", text, window.model().rowCount(), ms);
  }
  start = Clock::now();
  table->sortByColumn(vambrio::shell::LibraryTableModel::Tempo, Qt::AscendingOrder);
  table->viewport()->repaint();
  std::printf("sort %d rows by tempo: %.1f ms\n", count, Ms(start));
  std::printf("slowest search update: %.1f ms (goal <= 50 ms)\n", worst);
  return 0;
}
