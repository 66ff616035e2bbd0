// frmLibrary: the table, the search and filters, the preview and opening.
#include "shell/library/frm_library.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QShortcut>
#include <QStyle>
#include <QThread>
#include <QTimer>

#include "shell/library/library_table_model.h"
#include "shell/common/shown_q.h"
#include "ui_frm_library.h"

namespace vambrio::shell {
namespace {

constexpr int kPreviewWatchMs = 250;

std::string Raw(const QByteArray& b) { return std::string(b.constData(), static_cast<size_t>(b.size())); }

}  // namespace

frmLibrary::frmLibrary(LibraryWindowServices services, QWidget* parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::frmLibrary>()), services_(std::move(services)) {
  ui_->setupUi(this);
  model_ = new LibraryTableModel(this);
  ui_->tblStyles->setModel(model_);
  QHeaderView* header = ui_->tblStyles->horizontalHeader();
  header->setStretchLastSection(true);
  header->setSectionsMovable(true);
  const int widths[] = {28, 230, 190, 48, 48, 56, 76, 70, 80};
  // The sorted column's caption is drawn bold and beside the sort arrow: each
  // column has room for that.
  QFont bold = header->font();
  bold.setBold(true);
  const QFontMetrics boldMetrics(bold);
  const int arrowAndMargins = header->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header) +
                              4 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 4;
  for (int c = 0; c < LibraryTableModel::Folder; ++c) {
    const QString caption = model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    header->resizeSection(c, std::max(widths[c], boldMetrics.horizontalAdvance(caption) + arrowAndMargins));
  }
  ui_->tblStyles->verticalHeader()->hide();
  ui_->tblStyles->verticalHeader()->setDefaultSectionSize(ui_->tblStyles->fontMetrics().height() + 6);
  ui_->tblStyles->sortByColumn(LibraryTableModel::Name, Qt::AscendingOrder);
  ui_->tblStyles->installEventFilter(this);
  ui_->txtSearch->installEventFilter(this);
  ui_->prgIndex->setFormat(QStringLiteral("%v of %m"));
  // Room for the last letter where the window system's font hints wider than Qt measures.
  for (QLabel* label : {ui_->lblTimeSignature, ui_->lblTempo, ui_->lblTempoTo})
    label->setMinimumWidth(label->sizeHint().width() + label->fontMetrics().averageCharWidth());
  ConnectControls();
  db_ = std::make_unique<library::LibraryDatabase>(services_.databaseFile);
  UpdateControls();
}

frmLibrary::~frmLibrary() {
  if (services_.preview && !previewing_.empty()) services_.preview->Stop();
  if (indexThread_) {
    cancel_ = true;
    indexThread_->wait();
  }
}

void frmLibrary::ConnectControls() {
  connect(ui_->txtSearch, &QLineEdit::textChanged, this, &frmLibrary::ApplyFilter);
  connect(ui_->cboTimeSignature, &QComboBox::currentIndexChanged, this, &frmLibrary::ApplyFilter);
  connect(ui_->cboFormat, &QComboBox::currentIndexChanged, this, &frmLibrary::ApplyFilter);
  connect(ui_->spnTempoMin, &QSpinBox::valueChanged, this, &frmLibrary::ApplyFilter);
  connect(ui_->spnTempoMax, &QSpinBox::valueChanged, this, &frmLibrary::ApplyFilter);
  connect(ui_->chkFavourites, &QCheckBox::toggled, this, &frmLibrary::ApplyFilter);
  connect(ui_->cmdDuplicates, &QPushButton::toggled, this, [this](bool on) {
    std::string keep = CurrentPath();
    model_->SetDuplicatesOnly(on);
    SelectRow(model_->RowOf(QByteArray::fromStdString(keep)));
    ShowCount();
  });
  // A click sets the current row before it selects it, the keys the other way round.
  connect(ui_->tblStyles->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { CurrentChanged(); });
  connect(ui_->tblStyles->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { CurrentChanged(); });
  connect(ui_->tblStyles, &QTableView::doubleClicked, this, [this](const QModelIndex& i) {
    if (i.column() != LibraryTableModel::Favourite) OpenCurrent();
  });
  connect(ui_->tblStyles, &QTableView::clicked, this, [this](const QModelIndex& i) {
    if (i.column() == LibraryTableModel::Favourite) ToggleFavourite(i.row());
  });
  connect(ui_->cmdOpen, &QPushButton::clicked, this, &frmLibrary::OpenCurrent);
  connect(ui_->cmdArranger, &QPushButton::clicked, this, &frmLibrary::OpenCurrentInArranger);
  connect(ui_->cmdStop, &QPushButton::clicked, this, &frmLibrary::StopPreview);
  connect(ui_->chkPreview, &QCheckBox::toggled, this, [this](bool on) {
    if (on)
      CurrentChanged();
    else
      StopPreview();
  });
  // The preview ends without Stop when something else takes the sound.
  previewWatch_ = new QTimer(this);
  previewWatch_->setInterval(kPreviewWatchMs);
  connect(previewWatch_, &QTimer::timeout, this, [this] {
    if (!PreviewSounds()) StopPreview();
  });
  connect(ui_->cmdAddFolder, &QPushButton::clicked, this, &frmLibrary::AddFolder);
  connect(ui_->cmdCancel, &QPushButton::clicked, this, &frmLibrary::CancelIndexing);
  ui_->cmdFolders->setMenu(new QMenu(ui_->cmdFolders));
  connect(ui_->cmdFolders->menu(), &QMenu::aboutToShow, this, &frmLibrary::BuildFoldersMenu);
  auto* find = new QShortcut(QKeySequence::Find, this);
  connect(find, &QShortcut::activated, this, [this] {
    ui_->txtSearch->setFocus();
    ui_->txtSearch->selectAll();
  });
  auto* stop = new QShortcut(Qt::Key_Escape, this);
  connect(stop, &QShortcut::activated, this, &frmLibrary::StopPreview);
  auto* favourite = new QShortcut(Qt::CTRL | Qt::Key_D, this);
  connect(favourite, &QShortcut::activated, this, [this] {
    if (ui_->tblStyles->currentIndex().isValid()) ToggleFavourite(ui_->tblStyles->currentIndex().row());
  });
}

void frmLibrary::UpdateControls() {
  bool open = db_ && db_->IsOpen();
  bool current = ui_->tblStyles->currentIndex().isValid();
  for (QWidget* w : std::initializer_list<QWidget*>{ui_->txtSearch, ui_->cboTimeSignature, ui_->spnTempoMin,
                                                     ui_->spnTempoMax, ui_->cboFormat, ui_->chkFavourites,
                                                     ui_->cmdDuplicates, ui_->cmdAddFolder, ui_->cmdFolders})
    w->setEnabled(open);
  ui_->prgIndex->setVisible(Indexing());
  ui_->cmdCancel->setVisible(Indexing());
  ui_->cmdOpen->setEnabled(current);
  ui_->cmdArranger->setVisible(static_cast<bool>(services_.openInArranger));
  ui_->cmdArranger->setEnabled(current && CurrentLoaded());
  ui_->chkPreview->setVisible(services_.preview != nullptr);
  ui_->cmdStop->setVisible(services_.preview != nullptr);
  ui_->cmdStop->setEnabled(PreviewSounds());
}

bool frmLibrary::PreviewSounds() const {
  return services_.preview && !previewing_.empty() && services_.preview->Playing();
}

void frmLibrary::ApplyFilter() {
  library::LibraryFilter f;
  f.text = ui_->txtSearch->text();
  if (ui_->cboTimeSignature->currentIndex() > 0) f.timeSignature = ui_->cboTimeSignature->currentText();
  if (ui_->cboFormat->currentIndex() > 0) f.format = ui_->cboFormat->currentText();
  f.tempoMin = ui_->spnTempoMin->value();
  f.tempoMax = ui_->spnTempoMax->value();
  f.favouritesOnly = ui_->chkFavourites->isChecked();
  // The style in hand stays selected while it is still shown.
  std::string keep = CurrentPath().empty() ? previewing_ : CurrentPath();
  model_->SetFilter(f);
  SelectRow(model_->RowOf(QByteArray::fromStdString(keep)));
  ShowCount();
}

void frmLibrary::SelectRow(int row) {
  QSignalBlocker quiet(ui_->tblStyles->selectionModel());
  if (row < 0) {
    ui_->tblStyles->selectionModel()->clear();
  } else {
    ui_->tblStyles->selectionModel()->setCurrentIndex(model_->index(row, LibraryTableModel::Name),
                                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ui_->tblStyles->scrollTo(model_->index(row, LibraryTableModel::Name));
  }
  UpdateControls();
}

void frmLibrary::ShowCount() {
  if (Indexing()) return;  // the progress has the status line
  QLocale locale;
  QString text;
  if (!db_ || !db_->IsOpen()) {
    text = db_ ? db_->Problem() : QString();
  } else if (db_->Folders().empty()) {
    text = tr("No styles yet: click Add Folder... and choose a folder of styles.");
  } else {
    text = tr("%1 of %2 styles").arg(locale.toString(model_->rowCount()), locale.toString(model_->TotalCount()));
    if (!problems_.empty()) text += QStringLiteral(" \u2014 ") + QString::fromStdString(ShownLines(problems_));
  }
  ui_->lblStatus->setText(text);
}

std::string frmLibrary::CurrentPath() const {
  QModelIndex i = ui_->tblStyles->currentIndex();
  return i.isValid() ? Raw(model_->RowAt(i.row()).path) : std::string();
}

bool frmLibrary::CurrentLoaded() const {
  QModelIndex i = ui_->tblStyles->currentIndex();
  return i.isValid() && model_->RowAt(i.row()).Loaded();
}

// The selected style plays. A row that is current without being selected
// (the table reached with Tab) plays nothing.
void frmLibrary::CurrentChanged() {
  UpdateControls();
  if (!services_.preview || !ui_->chkPreview->isChecked()) return;
  const QModelIndex current = ui_->tblStyles->currentIndex();
  const bool selected = current.isValid() && ui_->tblStyles->selectionModel()->isRowSelected(current.row());
  if (!selected || !model_->RowAt(current.row()).Loaded()) {
    StopPreview();
    return;
  }
  std::string path = Raw(model_->RowAt(current.row()).path);
  if (path == previewing_ && PreviewSounds()) return;
  previewing_ = path;
  services_.preview->Play(path);
  if (PreviewSounds()) previewWatch_->start();
  UpdateControls();
}

void frmLibrary::StopPreview() {
  if (services_.preview && !previewing_.empty()) services_.preview->Stop();
  previewing_.clear();
  previewWatch_->stop();
  UpdateControls();
}

void frmLibrary::OpenCurrent() {
  std::string path = CurrentPath();
  if (path.empty() || !services_.openStyle) return;
  StopPreview();
  services_.openStyle(path);
}

void frmLibrary::OpenCurrentInArranger() {
  std::string path = CurrentPath();
  if (path.empty() || !services_.openInArranger || !CurrentLoaded()) return;
  StopPreview();
  services_.openInArranger(path);
}

void frmLibrary::ToggleFavourite(int row) {
  if (row < 0 || row >= model_->rowCount()) return;
  const library::LibraryRow& r = model_->RowAt(row);
  if (!db_->SetFavourite(r.path, !r.favourite)) {
    services_.messageBoxes.Show("The favourite could not be kept: " + db_->LastError().toStdString());
    return;
  }
  model_->SetFavourite(row, !r.favourite);
}

void frmLibrary::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!started_) Start();
}

void frmLibrary::hideEvent(QHideEvent* event) {
  StopPreview();
  QWidget::hideEvent(event);
}

bool frmLibrary::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  int key = static_cast<QKeyEvent*>(event)->key();
  bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
  if (watched == ui_->tblStyles && enter) {
    OpenCurrent();
    return true;
  }
  // From the search box, Enter or Down goes to the results.
  if (watched == ui_->txtSearch && (enter || key == Qt::Key_Down) && model_->rowCount() > 0) {
    // Focus makes the first row current without selecting it; the row is selected, so it plays.
    ui_->tblStyles->setFocus();
    const QModelIndex current = ui_->tblStyles->currentIndex();
    if (!current.isValid() || !ui_->tblStyles->selectionModel()->isRowSelected(current.row())) {
      const QModelIndex first = model_->index(current.isValid() ? current.row() : 0, LibraryTableModel::Name);
      ui_->tblStyles->selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect |
                                                                   QItemSelectionModel::Rows);
    }
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace vambrio::shell
