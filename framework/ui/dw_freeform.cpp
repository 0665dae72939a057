#include "framework/ui/dw_freeform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

#include "framework/ui/single_line_text.h"
#include "framework/ui/units.h"

namespace {
constexpr int default_field_height = 76;  // host units
}

dw_freeform::dw_freeform(data_view& dv, QWidget* parent)
    : QWidget(parent), dv_(dv) {
  build();
  // Takes the focus of a click that no field takes (read-only field, background) and hands it
  // back to the field, so the window above cannot take it out of the form's Tab order.
  setFocusPolicy(Qt::ClickFocus);
  dv_.add_listener(this);
  load_all(false);
  apply_editability();
}

dw_freeform::~dw_freeform() { dv_.remove_listener(this); }

void dw_freeform::build() {
  const dv_definition& def = dv_.definition();
  int right = 0, bottom = 0;
  for (int c = 0; c < int(def.columns.size()); ++c) {
    const dv_column& col = def.columns[size_t(c)];
    if (!col.visible) continue;
    field f;
    f.col = c;
    const int h = col.height > 0 ? col.height : default_field_height;
    if (col.style != edit_style::checkbox && !col.header.empty()) {
      f.label = new QLabel(QString::fromStdString(col.header), this);
      f.label->setObjectName(QString::fromStdString("t_" + col.name));
      f.label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      const int lw = col.label_width > 0 ? col.label_width : std::max(0, col.x - col.label_x - 18);
      place_units(f.label, col.label_x, col.label_y > 0 ? col.label_y : col.y, lw, h);
    }
    switch (col.style) {
      case edit_style::checkbox:
        f.check = new QCheckBox(QString::fromStdString(col.checkbox_text), this);
        f.editor = f.check;
        break;
      case edit_style::codetable:
      case edit_style::dddw:
        f.combo = new QComboBox(this);
        f.editor = f.combo;
        break;
      case edit_style::edit:
        f.line = new QLineEdit(this);
        keep_single_line(f.line, QStringLiteral(" "));
        if (col.type == col_type::long_t || col.type == col_type::decimal_t)
          f.line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        f.editor = f.line;
        break;
    }
    f.editor->setObjectName(QString::fromStdString(col.name));
    place_units(f.editor, col.x, col.y, col.width, h);
    f.editor->installEventFilter(this);
    right = std::max(right, f.editor->geometry().right());
    bottom = std::max(bottom, f.editor->geometry().bottom());
    fields_.push_back(f);
  }
  // fields_ is complete and keeps its size from here on: the handlers hold an index into it.
  for (size_t i = 0; i < fields_.size(); ++i) {
    field& f = fields_[i];
    if (f.line) {
      connect(f.line, &QLineEdit::textEdited, this, [this, i] { fields_[i].dirty = true; });
      connect(f.line, &QLineEdit::editingFinished, this, [this, i] { commit(fields_[i]); });
    } else if (f.check) {
      connect(f.check, &QCheckBox::clicked, this, [this, i](bool on) {
        const dv_column& col = dv_.definition().columns[size_t(fields_[i].col)];
        store(fields_[i], on ? col.checkbox_on : col.checkbox_off);
      });
    } else if (f.combo) {
      connect(f.combo, &QComboBox::activated, this, [this, i](int index) {
        if (index >= 0) store(fields_[i], fields_[i].combo->itemData(index).toString().toStdString());
      });
    }
  }
  const int w = def.width > 0 ? units_to_px_x(def.width) : right + 8;
  const int h = def.height > 0 ? units_to_px_y(def.height) : bottom + 8;
  setMinimumSize(w, h);
  resize(w, h);
}

void dw_freeform::fill_choices(field& f) {
  const dv_choices* list = f.combo ? dv_.choices(f.col) : nullptr;
  // A drop-down's list is filled once the data view has read it.
  if (!list || f.combo->count() == int(list->items.size())) return;
  f.combo->clear();
  for (const auto& [display, data] : list->items)
    f.combo->addItem(QString::fromStdString(display), QString::fromStdString(data));
}

void dw_freeform::load(field& f) {
  const int64_t row = dv_.getrow();
  const dv_column& col = dv_.definition().columns[size_t(f.col)];
  loading_ = true;
  const bool has_row = row >= 1 && row <= dv_.rowcount();
  if (f.line) {
    f.line->setText(has_row ? QString::fromStdString(dv_.gettext(row, f.col)) : QString());
    f.line->setCursorPosition(0);
  } else if (f.check) {
    f.check->setChecked(has_row && dv_.getitem(row, f.col).to_text() == col.checkbox_on);
  } else if (f.combo) {
    fill_choices(f);
    const QString stored =
        has_row ? QString::fromStdString(dv_.getitem(row, f.col).to_text()) : QString();
    f.combo->setCurrentIndex(has_row ? f.combo->findData(stored) : -1);
  }
  f.dirty = false;
  loading_ = false;
}

void dw_freeform::load_all(bool keep_dirty) {
  for (field& f : fields_)
    if (!(keep_dirty && f.dirty)) load(f);
}

void dw_freeform::dv_row_changed(int64_t row) {
  if (row == dv_.getrow()) load_all(true);
}

bool dw_freeform::editable(const field& f) const {
  const int64_t row = dv_.getrow();
  return row >= 1 && row <= dv_.rowcount() &&
         !dv_.definition().columns[size_t(f.col)].computed() && dv_.tab_sequence(f.col) > 0;
}

void dw_freeform::apply_editability() {
  for (field& f : fields_) {
    const bool on = editable(f);
    f.editor->setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
    if (f.line) {
      f.line->setReadOnly(!on);
      // A field that cannot be changed is shown on the form's own background.
      QPalette p = palette();
      if (!on) p.setColor(QPalette::Base, p.color(QPalette::Window));
      f.line->setPalette(p);
    }
    else f.editor->setAttribute(Qt::WA_TransparentForMouseEvents, !on);
    if (!on && f.editor->hasFocus()) f.editor->clearFocus();
  }
}

int dw_freeform::store(field& f, const std::string& text) {
  const int64_t row = dv_.getrow();
  if (loading_ || row < 1 || !editable(f)) return 1;
  f.dirty = false;
  if (dv_.settext(row, f.col, text) < 0) {
    const std::string msg = dv_.last_error();
    load(f);
    if (on_refused) on_refused(msg);
    return -1;
  }
  return 1;
}

int dw_freeform::commit(field& f) {
  if (!f.line || !f.dirty) return 1;
  const std::string text = f.line->text().toStdString();
  const int64_t row = dv_.getrow();
  if (row >= 1 && text == dv_.gettext(row, f.col)) {  // typed back to what it was
    f.dirty = false;
    return 1;
  }
  return store(f, text);
}

int dw_freeform::accept() {
  int rc = 1;
  for (field& f : fields_)
    if (commit(f) < 0) rc = -1;
  return rc;
}

std::vector<dw_freeform::field*> dw_freeform::tab_order() {
  std::vector<field*> out;
  for (field& f : fields_)
    if (editable(f)) out.push_back(&f);
  std::stable_sort(out.begin(), out.end(), [this](const field* a, const field* b) {
    return dv_.tab_sequence(a->col) < dv_.tab_sequence(b->col);
  });
  return out;
}

void dw_freeform::focus_first() {
  const std::vector<field*> order = tab_order();
  if (!order.empty()) order.front()->editor->setFocus(Qt::TabFocusReason);
}

dw_freeform::field* dw_freeform::field_of(QObject* editor) {
  for (field& f : fields_)
    if (f.editor == editor) return &f;
  return nullptr;
}

QWidget* dw_freeform::field_widget(std::string_view column) const {
  const int c = dv_.definition().column_index(column);
  for (const field& f : fields_)
    if (f.col == c) return f.editor;
  return nullptr;
}

QLabel* dw_freeform::label_widget(std::string_view column) const {
  const int c = dv_.definition().column_index(column);
  for (const field& f : fields_)
    if (f.col == c) return f.label;
  return nullptr;
}

void dw_freeform::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  field* last = field_of(last_focused_);
  if (last && editable(*last)) last->editor->setFocus(e->reason());
  else focus_first();
}

bool dw_freeform::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::FocusIn && field_of(watched)) last_focused_ = static_cast<QWidget*>(watched);
  if (e->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, e);
  auto* k = static_cast<QKeyEvent*>(e);
  const bool back = k->key() == Qt::Key_Backtab ||
                    (k->key() == Qt::Key_Tab && (k->modifiers() & Qt::ShiftModifier));
  if (k->key() != Qt::Key_Tab && !back) return QWidget::eventFilter(watched, e);
  if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
  field* cur = field_of(watched);
  if (cur) commit(*cur);
  const std::vector<field*> order = tab_order();
  if (order.empty()) return true;
  auto pos = std::find(order.begin(), order.end(), cur);
  size_t next = 0;
  if (pos == order.end()) next = back ? order.size() - 1 : 0;
  else if (back) next = pos == order.begin() ? order.size() - 1 : size_t(pos - order.begin()) - 1;
  else next = (size_t(pos - order.begin()) + 1) % order.size();
  order[next]->editor->setFocus(back ? Qt::BacktabFocusReason : Qt::TabFocusReason);
  if (order[next]->line) order[next]->line->selectAll();
  return true;
}
