#pragma once
// Cell editor of the grid: a line edit for plain columns, a combo box listing only the offered
// values for code table and drop-down columns (shows the display text, stores the data value).
// It keeps track of the open editor so that accepttext() can commit it and learn whether the
// data view took the value.

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

class dw_table_model;

class dw_edit_delegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  dw_edit_delegate(dw_table_model* model, QObject* parent = nullptr);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;
  void destroyEditor(QWidget* editor, const QModelIndex& index) const override;

  // Stores the open editor's value: 1 taken (or nothing open), -1 refused.
  int commit_open_editor();
  QWidget* open_editor() const { return editor_; }

 private:
  dw_table_model* model_;
  mutable QPointer<QWidget> editor_;
  mutable QPersistentModelIndex index_;
  mutable bool last_ok_ = true;
};
