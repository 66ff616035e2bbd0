#include "shell/main_window/section_combo.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace vambrio {

SectionCombo::SectionCombo(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), list_(new QListWidget(this)) {
  edit_->setObjectName("cboSectionsText");
  list_->setObjectName("cboSectionsList");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(edit_);
  layout->addWidget(list_, 1);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setUniformItemSizes(true);
  // Room for a dozen sections and the longest usual names ("Fill In BA", "Intro A").
  QFontMetrics fm(list_->font());
  list_->setMinimumSize(fm.horizontalAdvance("Fill In AA  Main B") + 24, fm.lineSpacing() * 8);
  setFocusProxy(list_);
  connect(list_, &QListWidget::currentRowChanged, this, &SectionCombo::OnRowChanged);
  connect(list_, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { emit itemDoubleClicked(list_->row(item)); });
  connect(edit_, &QLineEdit::textEdited, this, &SectionCombo::OnTextEdited);
}

void SectionCombo::clear() {
  {
    QSignalBlocker block(list_);
    list_->clear();
  }
  edit_->clear();
}

// The list's empty lines (the room after the style's last section) are kept
// but not shown, so that no scroll bar leads into blank space.
void SectionCombo::addItem(const QString& text) {
  list_->addItem(text);
  if (text.isEmpty()) list_->setRowHidden(list_->count() - 1, true);
}

int SectionCombo::count() const { return list_->count(); }

QString SectionCombo::itemText(int index) const {
  QListWidgetItem* item = list_->item(index);
  return item ? item->text() : QString();
}

QString SectionCombo::currentText() const { return edit_->text(); }

int SectionCombo::currentIndex() const { return list_->currentRow(); }

void SectionCombo::setCurrentIndex(int index) {
  if (index < 0 || index >= list_->count()) index = -1;
  if (list_->currentRow() == index) {
    edit_->setText(itemText(index));
    return;
  }
  list_->setCurrentRow(index);  // OnRowChanged fills the field
  if (index < 0) edit_->clear();
}

void SectionCombo::setEditText(const QString& text) {
  edit_->setText(text);
  OnTextEdited(text);
}

void SectionCombo::OnRowChanged(int row) {
  if (row >= 0) {
    edit_->setText(itemText(row));
    list_->scrollToItem(list_->item(row));
  }
  emit currentIndexChanged(row);
}

void SectionCombo::OnTextEdited(const QString& text) {
  // The list follows the typed text only when it names an entry exactly.
  int match = -1;
  for (int i = 0; i < list_->count(); ++i) {
    if (itemText(i) == text) {
      match = i;
      break;
    }
  }
  QSignalBlocker block(edit_);
  {
    QSignalBlocker blockList(list_);
    list_->setCurrentRow(match);
  }
  emit currentIndexChanged(match);
}

}  // namespace vambrio
