#include "shell/library/library_table_model.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QLocale>
#include <algorithm>
#include <map>
#include <unordered_map>

#include "library/style_summary.h"
#include "shell/common/shown_q.h"

namespace vambrio::shell {
namespace {

const char* const kHeaders[] = {"\u2605", "Name", "File", "Type", "SFF", "Tempo", "Time Sig.", "Sections", "Size", "Folder"};

template <typename T>
int Compare(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

LibraryTableModel::LibraryTableModel(QObject* parent) : QAbstractTableModel(parent) {
  collator_.setNumericMode(true);  // "Pop 2" before "Pop 10"
  collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

void LibraryTableModel::SetRows(std::vector<library::LibraryRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  searchKeys_.clear();
  nameKeys_.clear();
  fileKeys_.clear();
  folderKeys_.clear();
  searchKeys_.reserve(rows_.size());
  for (const auto& r : rows_) searchKeys_.push_back(library::SearchKey(r));
  MakeSortKeys(Name);  // every sort ends on the name
  MakeSortKeys(sortColumn_);
  copyGroup_.assign(rows_.size(), -1);
  auto groups = library::DuplicateGroups(rows_);
  for (size_t g = 0; g < groups.size(); ++g)
    for (size_t i : groups[g]) copyGroup_[i] = static_cast<int>(g);
  Order();
  endResetModel();
}

void LibraryTableModel::MakeSortKeys(int column) {
  std::vector<QCollatorSortKey>* keys = column == Name ? &nameKeys_ : column == File ? &fileKeys_
                                        : column == Folder                          ? &folderKeys_
                                                                                    : nullptr;
  if (!keys || keys->size() == rows_.size()) return;
  keys->clear();
  keys->reserve(rows_.size());
  for (const auto& r : rows_)
    keys->push_back(collator_.sortKey(column == Name ? r.name : column == File ? r.FileName() : r.Folder()));
}

void LibraryTableModel::SetFilter(const library::LibraryFilter& filter) {
  beginResetModel();
  filter_ = filter;
  Filter();
  endResetModel();
}

void LibraryTableModel::SetDuplicatesOnly(bool on) {
  beginResetModel();
  duplicatesOnly_ = on;
  Order();
  endResetModel();
}

void LibraryTableModel::SetFavourite(int row, bool favourite) {
  rows_[visible_[static_cast<size_t>(row)]].favourite = favourite;
  emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

int LibraryTableModel::RowOf(const QByteArray& path) const {
  for (size_t i = 0; i < visible_.size(); ++i)
    if (rows_[visible_[i]].path == path) return static_cast<int>(i);
  return -1;
}

QStringList LibraryTableModel::TimeSignatures() const {
  std::map<QString, int> counts;
  for (const auto& r : rows_)
    if (r.Loaded() && !r.timeSignature.isEmpty()) ++counts[r.timeSignature];
  std::vector<std::pair<QString, int>> sorted(counts.begin(), counts.end());
  std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  QStringList out;
  for (const auto& [ts, n] : sorted) out << ts;
  return out;
}

int LibraryTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(visible_.size());
}

int LibraryTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant LibraryTableModel::Display(const library::LibraryRow& r, int column) const {
  switch (column) {
    case Favourite: return r.favourite ? QStringLiteral("\u2605") : QStringLiteral("\u2606");
    case Name: return ShownQText(r.Loaded() ? r.name : r.error.section(QLatin1Char('\n'), 0, 0));  // the reason in the tool tip
    case File: return ShownQText(r.FileName());
    case Type: return r.Type();
    case Format: return r.format;
    case Tempo: return r.Loaded() ? QVariant(r.tempo) : QVariant();
    case TimeSignature: return r.timeSignature;
    case Sections: return r.Loaded() ? QVariant(static_cast<int>(r.sections.size())) : QVariant();
    case Size: return QLocale().toString(static_cast<qlonglong>(r.size));
    case Folder: return ShownQText(r.Folder());
    default: return {};
  }
}

QVariant LibraryTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const library::LibraryRow& r = RowAt(index.row());
  int column = index.column();
  const library::LibrarySong* song = column == Name ? MatchedSong(index.row()) : nullptr;
  switch (role) {
    case Qt::DisplayRole:
      // A style found by one of its songs: the song and its tempo beside the name.
      if (song) return tr("%1  \u266a %2 (%3)").arg(ShownQText(r.name), ShownQText(song->title)).arg(song->tempo);
      return Display(r, column);
    case Qt::ToolTipRole:
      if (column == Favourite) return r.favourite ? tr("A favourite: click to take it off") : tr("Click to make it a favourite");
      if (!r.Loaded()) return ShownLinesQ(r.error);
      if (column == Sections) return ShownQText(r.sections.join(QStringLiteral(", ")));
      if (song)
        return tr("Song: %1\nGenre: %2\nTempo: %3, %4").arg(ShownQText(song->title), ShownQText(song->genre)).arg(song->tempo).arg(song->timeSignature);
      if (column == Name) {
        QString parts = QString::fromStdString(library::PartList(static_cast<uint8_t>(r.parts)));
        return r.copyright.isEmpty() ? parts : ShownQText(r.copyright) + QStringLiteral("\n") + parts;
      }
      return ShownQText(r.DisplayPath());
    case Qt::TextAlignmentRole:
      if (column == Tempo || column == Sections || column == Size) return int(Qt::AlignRight | Qt::AlignVCenter);
      if (column == Favourite) return int(Qt::AlignCenter);
      return {};
    case Qt::ForegroundRole:
      if (column == Favourite) return r.favourite ? QBrush(QColor(0xd0, 0x90, 0x00)) : QBrush(QColor(0xa0, 0xa0, 0xa0));
      if (!r.Loaded() && column == Name) return QBrush(QColor(0xb0, 0x20, 0x20));
      return {};
    case Qt::FontRole:
      if (!r.Loaded() && column == Name) {
        QFont f;
        f.setItalic(true);
        return f;
      }
      return {};
    case Qt::BackgroundRole:
      // Copies side by side: every other group shaded.
      if (duplicatesOnly_ && copyGroup_[visible_[static_cast<size_t>(index.row())]] % 2 == 1)
        return QBrush(QColor(0xe8, 0xee, 0xf6));
      return {};
    default: return {};
  }
}

QVariant LibraryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) return {};
  if (role == Qt::DisplayRole) return QString::fromUtf8(kHeaders[section]);
  if (role == Qt::ToolTipRole && section == Favourite) return tr("Favourites");
  if (role == Qt::ToolTipRole && section == Format) return tr("SFF1 or SFF2");
  return {};
}

void LibraryTableModel::sort(int column, Qt::SortOrder order) {
  if (column < 0 || column >= ColumnCount) return;
  emit layoutAboutToBeChanged();
  QModelIndexList before = persistentIndexList();
  std::vector<QByteArray> paths;
  for (const QModelIndex& i : before) paths.push_back(RowAt(i.row()).path);
  sortColumn_ = column;
  sortOrder_ = order;
  MakeSortKeys(column);
  Order();
  QModelIndexList after;
  for (size_t k = 0; k < paths.size(); ++k) {
    int row = RowOf(paths[k]);
    after << (row < 0 ? QModelIndex() : index(row, before[static_cast<int>(k)].column()));
  }
  changePersistentIndexList(before, after);
  emit layoutChanged();
}

bool LibraryTableModel::Less(size_t a, size_t b, int column) const {
  const auto& x = rows_[a];
  const auto& y = rows_[b];
  int c = 0;
  switch (column) {
    case Favourite: c = Compare(y.favourite, x.favourite); break;  // favourites first
    case Name: c = nameKeys_[a].compare(nameKeys_[b]); break;
    case File: c = fileKeys_[a].compare(fileKeys_[b]); break;
    case Type: c = Compare(x.Type(), y.Type()); break;
    case Format: c = Compare(x.format, y.format); break;
    case Tempo: c = Compare(x.tempo, y.tempo); break;
    case TimeSignature: c = Compare(x.timeSignature, y.timeSignature); break;
    case Sections: c = Compare(x.sections.size(), y.sections.size()); break;
    case Size: c = Compare(x.size, y.size); break;
    case Folder: c = folderKeys_[a].compare(folderKeys_[b]); break;
    default: break;
  }
  if (c == 0) c = nameKeys_[a].compare(nameKeys_[b]);
  if (c == 0) c = Compare(x.path, y.path);
  return sortOrder_ == Qt::AscendingOrder ? c < 0 : c > 0;
}

void LibraryTableModel::Order() {
  order_.resize(rows_.size());
  for (size_t i = 0; i < order_.size(); ++i) order_[i] = i;
  std::sort(order_.begin(), order_.end(), [this](size_t a, size_t b) {
    if (duplicatesOnly_ && copyGroup_[a] != copyGroup_[b]) return copyGroup_[a] < copyGroup_[b];
    return Less(a, b, sortColumn_);
  });
  Filter();
}

void LibraryTableModel::Filter() {
  library::RowMatcher matcher(filter_);
  visible_.clear();
  matchedSong_.assign(rows_.size(), -1);
  for (size_t i : order_) {
    if (duplicatesOnly_ && copyGroup_[i] < 0) continue;
    if (!matcher.Matches(rows_[i], searchKeys_[i])) continue;
    visible_.push_back(i);
    if (!rows_[i].songs.empty()) matchedSong_[i] = matcher.MatchingSong(rows_[i]);
  }
}

const library::LibrarySong* LibraryTableModel::MatchedSong(int row) const {
  const size_t i = visible_[static_cast<size_t>(row)];
  return matchedSong_[i] < 0 ? nullptr : &rows_[i].songs[static_cast<size_t>(matchedSong_[i])];
}

}  // namespace vambrio::shell
