// The rows of the library window's table: every indexed style, filtered by
// the search and the filters, sorted by any column. Filtering keeps the
// sorted order, so typing in the search box never sorts again.
#pragma once

#include <QAbstractTableModel>
#include <QCollator>
#include <vector>

#include "library/library_filter.h"
#include "library/library_row.h"

namespace vambrio::shell {

class LibraryTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { Favourite, Name, File, Type, Format, Tempo, TimeSignature, Sections, Size, Folder, ColumnCount };

  explicit LibraryTableModel(QObject* parent = nullptr);

  void SetRows(std::vector<library::LibraryRow> rows);
  void SetFilter(const library::LibraryFilter& filter);
  // Only the files whose content another file also has, copies side by side.
  void SetDuplicatesOnly(bool on);
  void SetFavourite(int row, bool favourite);

  const library::LibraryRow& RowAt(int row) const { return rows_[visible_[static_cast<size_t>(row)]]; }
  // The table row that shows this file, or -1.
  int RowOf(const QByteArray& path) const;
  // The song whose title the search found in this table row's style, or null.
  const library::LibrarySong* MatchedSong(int row) const;
  int TotalCount() const { return static_cast<int>(rows_.size()); }
  // The time signatures of the collection, most common first.
  QStringList TimeSignatures() const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void sort(int column, Qt::SortOrder order) override;

 private:
  bool Less(size_t a, size_t b, int column) const;
  // The collation keys of a text column, made when it is first sorted by.
  void MakeSortKeys(int column);
  void Order();   // order_ from the sort column, then the filter
  void Filter();  // visible_ from order_
  QVariant Display(const library::LibraryRow& row, int column) const;

  std::vector<library::LibraryRow> rows_;
  std::vector<QString> searchKeys_;
  std::vector<QCollatorSortKey> nameKeys_, fileKeys_, folderKeys_;  // empty until needed
  std::vector<int> copyGroup_;  // per row: its group of copies, -1 when it has no copy
  std::vector<size_t> order_;   // every row, sorted
  std::vector<size_t> visible_; // the rows shown, sorted
  std::vector<int> matchedSong_;  // per row: the song the search found, -1 for none
  library::LibraryFilter filter_;
  bool duplicatesOnly_ = false;
  int sortColumn_ = Name;
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
  QCollator collator_;
};

}  // namespace vambrio::shell
