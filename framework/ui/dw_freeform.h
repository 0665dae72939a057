#pragma once
// Free-form presentation of a one-row data view: each column's label and editor placed from the
// definition (x / y / width / height, label_x / label_y / label_width, host units). Editors follow
// the edit style (line edit, check box with its own text, combo box of the offered values); only
// columns with a tab order can be focused or changed, and Tab / Shift+Tab go round them in tab
// order. A line edit's text is stored when it is left, on Enter, or by accept(). A click on a
// read-only field or between fields keeps the keyboard in the field it was in.

#include <QWidget>
#include <functional>
#include <string_view>
#include <vector>

#include "framework/dataview/data_view.h"
#include "framework/dataview/choices.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

class dw_freeform : public QWidget, public dv_listener {
  Q_OBJECT
 public:
  explicit dw_freeform(data_view& dv, QWidget* parent = nullptr);
  ~dw_freeform() override;

  int accept();        // stores the text being typed: 1 ok, -1 refused
  void focus_first();  // the editable field first in tab order
  QWidget* field_widget(std::string_view column) const;
  QLabel* label_widget(std::string_view column) const;

  std::function<void(const std::string& message)> on_refused;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;

 private:
  struct field {
    int col = -1;
    QLabel* label = nullptr;
    QWidget* editor = nullptr;
    QLineEdit* line = nullptr;
    QCheckBox* check = nullptr;
    QComboBox* combo = nullptr;
    bool dirty = false;
  };

  void build();
  void fill_choices(field& f);
  void load(field& f);
  void load_all(bool keep_dirty);
  void apply_editability();
  bool editable(const field& f) const;
  int commit(field& f);
  int store(field& f, const std::string& text);
  std::vector<field*> tab_order();
  field* field_of(QObject* editor);

  void dv_reset() override { load_all(false); apply_editability(); }
  void dv_row_changed(int64_t row) override;
  void dv_current_changed(int64_t, int64_t) override { load_all(false); apply_editability(); }
  void dv_columns_changed() override { apply_editability(); }
  void dv_rows_inserted(int64_t, int64_t) override { load_all(false); apply_editability(); }
  void dv_rows_removed(int64_t, int64_t) override { load_all(false); apply_editability(); }

  data_view& dv_;
  std::vector<field> fields_;
  bool loading_ = false;
  QWidget* last_focused_ = nullptr;  // the field that last had the keyboard
};
