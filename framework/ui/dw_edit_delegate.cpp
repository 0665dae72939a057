#include "framework/ui/dw_edit_delegate.h"

#include <QComboBox>
#include <QLineEdit>

#include "framework/ui/dw_table_model.h"
#include "framework/ui/single_line_text.h"

dw_edit_delegate::dw_edit_delegate(dw_table_model* model, QObject* parent)
    : QStyledItemDelegate(parent), model_(model) {}

QWidget* dw_edit_delegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
  QWidget* editor = nullptr;
  if (const dv_choices* list = model_->choices(index.column())) {
    auto* combo = new QComboBox(parent);
    for (const auto& [display, data] : list->items)
      combo->addItem(QString::fromStdString(display), QString::fromStdString(data));
    // A choice is stored as soon as it is picked.
    connect(combo, &QComboBox::activated, this, [this, combo] {
      emit const_cast<dw_edit_delegate*>(this)->commitData(combo);
    });
    editor = combo;
  } else {
    auto* line = new QLineEdit(parent);
    line->setFrame(false);
    keep_single_line(line, QStringLiteral(" "));  // a pasted line break keeps words apart
    editor = line;
  }
  (void)option;
  editor_ = editor;
  index_ = index;
  return editor;
}

void dw_edit_delegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  const QString stored = index.data(Qt::EditRole).toString();
  if (auto* combo = qobject_cast<QComboBox*>(editor)) {
    combo->setCurrentIndex(combo->findData(stored));
  } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
    line->setText(stored);
  }
}

void dw_edit_delegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const {
  QVariant v;
  if (auto* combo = qobject_cast<QComboBox*>(editor)) {
    if (combo->currentIndex() < 0) {
      last_ok_ = true;
      return;
    }
    v = combo->currentData();
  } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
    v = line->text();
  }
  last_ok_ = model->setData(index, v, Qt::EditRole);
  // A refused value is not left in the editor: it shows the stored value again.
  if (!last_ok_) setEditorData(editor, index);
}

void dw_edit_delegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
  if (editor == editor_) {
    editor_.clear();
    index_ = QPersistentModelIndex();
  }
  QStyledItemDelegate::destroyEditor(editor, index);
}

int dw_edit_delegate::commit_open_editor() {
  if (!editor_ || !index_.isValid()) return 1;
  setModelData(editor_, const_cast<QAbstractItemModel*>(index_.model()), index_);
  return last_ok_ ? 1 : -1;
}
