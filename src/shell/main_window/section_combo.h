// The section list of the main window: a text field above a list that is
// always open, like a simple combo box. Choosing an entry puts its text in
// the field; a double-click on an entry reports it; a name can also be
// typed into the field.
#pragma once

#include <QWidget>

class QLineEdit;
class QListWidget;

namespace vambrio {

class SectionCombo : public QWidget {
  Q_OBJECT

 public:
  explicit SectionCombo(QWidget* parent = nullptr);

  void clear();
  void addItem(const QString& text);
  int count() const;
  QString itemText(int index) const;

  // The text of the field: the chosen entry or what was typed.
  QString currentText() const;
  // The entry whose text the field holds, or -1 when the text was typed
  // and matches no entry.
  int currentIndex() const;
  // Selects the entry and puts its text in the field (-1 clears both).
  void setCurrentIndex(int index);
  void setEditText(const QString& text);

  QLineEdit* lineEdit() const { return edit_; }
  QListWidget* listWidget() const { return list_; }

 signals:
  void itemDoubleClicked(int index);
  void currentIndexChanged(int index);

 private:
  void OnRowChanged(int row);
  void OnTextEdited(const QString& text);

  QLineEdit* edit_;
  QListWidget* list_;
};

}  // namespace vambrio
