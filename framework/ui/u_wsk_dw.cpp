#include "framework/ui/u_wsk_dw.h"

#include <QElapsedTimer>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include "framework/dataview/names.h"
#include "framework/runtime/runtime.h"
#include "framework/ui/column_widths.h"
#include "framework/ui/control_events.h"
#include "framework/ui/cut_text_tips.h"
#include "framework/ui/dw_edit_delegate.h"
#include "framework/ui/dw_freeform.h"
#include "framework/ui/dw_grid_view.h"
#include "framework/ui/dw_table_model.h"
#include "framework/ui/module_font.h"
#include "framework/ui/work_progress.h"
#include "framework/ui/sort_header_style.h"
#include "framework/ui/units.h"

namespace {

dv_definition empty_definition(const std::string& name) {
  dv_definition d;
  d.name = name;
  return d;
}

// Rows a save writes: new rows with values, changed rows, deleted rows.
struct change_counts {
  int64_t inserted = 0, changed = 0, deleted = 0;
};

change_counts count_changes(const data_view& dv) {
  change_counts n;
  n.deleted = dv.deletedcount();
  for (dv_buffer buf : {dv_buffer::primary, dv_buffer::filter}) {
    const int64_t rows = buf == dv_buffer::primary ? dv.rowcount() : dv.filteredcount();
    for (int64_t r = 1; r <= rows; ++r) {
      const dv_status s = dv.getitemstatus(r, -1, buf);
      if (s == dv_status::newmodified) ++n.inserted;
      else if (s == dv_status::datamodified) ++n.changed;
    }
  }
  return n;
}

}  // namespace

struct u_wsk_dw::impl {
  std::string dataobject;
  std::unique_ptr<data_view> dv;
  QVBoxLayout* layout = nullptr;
  dw_grid_view* grid = nullptr;
  dw_table_model* model = nullptr;
  dw_edit_delegate* delegate = nullptr;
  QScrollArea* scroll = nullptr;
  dw_freeform* form = nullptr;
  std::optional<QColor> current_colour;
  bool header_sort = false, vscroll = true, hscroll = true, border = true;
  bool show_progress = false;
  bool syncing = false;
  int sort_column = -1;
  bool sort_descending = false;
};

u_wsk_dw::u_wsk_dw(QWidget* parent) : QWidget(parent), d_(std::make_unique<impl>()) {
  setFont(module_font());
  d_->layout = new QVBoxLayout(this);
  d_->layout->setContentsMargins(0, 0, 0, 0);
  d_->dv = std::make_unique<data_view>(empty_definition(""));
  connect(this, &u_wsk_dw::rows_changed, this, &u_wsk_dw::fit_whole_values);
}

u_wsk_dw::~u_wsk_dw() {
  // The presentation listens to the data view: it goes first.
  delete d_->grid;
  delete d_->scroll;
  d_->dv->set_accept_hook({});
}

int u_wsk_dw::set_dataobject(const std::string& name) {
  clear_presentation();
  uo_transaction* tr = d_->dv->transobject();
  d_->dataobject = name;
  const dv_definition* def = find_definition(name);
  d_->dv = std::make_unique<data_view>(def ? *def : empty_definition(name));
  if (tr) d_->dv->settransobject(tr);

  if (d_->dv->definition().presentation == dv_presentation::freeform) build_form();
  else build_grid(name);
  set_vscroll(d_->vscroll);
  set_hscroll(d_->hscroll);
  set_border(d_->border);
  emit rows_changed();
  if (def) return 1;
  report_error("数据对象不存在：" + name);
  return -1;
}

void u_wsk_dw::clear_presentation() {
  delete d_->grid;
  delete d_->scroll;
  d_->grid = nullptr;
  d_->model = nullptr;
  d_->delegate = nullptr;
  d_->scroll = nullptr;
  d_->form = nullptr;
  d_->sort_column = -1;
}

void u_wsk_dw::show_refusal(const std::string& msg) {
  messagebox(window()->windowTitle().toStdString(), msg, mb_icon::exclamation, mb_buttons::ok, 1);
}

void u_wsk_dw::report_error(const std::string& msg) {
  messagebox(window()->windowTitle().toStdString(), msg, mb_icon::stop, mb_buttons::ok, 1);
}

// A one-row form in a scroll area; accepttext stores the field being typed.
void u_wsk_dw::build_form() {
  d_->scroll = new QScrollArea(this);
  d_->form = new dw_freeform(*d_->dv);
  d_->form->on_refused = [this](const std::string& msg) { show_refusal(msg); };
  d_->scroll->setWidget(d_->form);
  d_->layout->addWidget(d_->scroll);
  d_->dv->set_accept_hook([this] { return d_->form ? d_->form->accept() : 1; });
}

// A grid over the buffers; accepttext commits the open cell editor.
void u_wsk_dw::build_grid(const std::string& name) {
  data_view& dv = *d_->dv;
  auto* grid = new dw_grid_view(dv, this);
  d_->grid = grid;
  d_->model = new dw_table_model(dv, grid);
  d_->delegate = new dw_edit_delegate(d_->model, grid);
  grid->setModel(d_->model);
  grid->setItemDelegate(d_->delegate);
  size_grid_columns(name);
  install_cut_text_tips(grid);
  d_->layout->addWidget(grid);
  dv.set_accept_hook([this] { return d_->delegate ? d_->delegate->commit_open_editor() : 1; });

  connect(d_->model, &QAbstractItemModel::modelReset, this, &u_wsk_dw::rows_changed);
  connect(d_->model, &QAbstractItemModel::rowsInserted, this, &u_wsk_dw::rows_changed);
  connect(d_->model, &QAbstractItemModel::rowsRemoved, this, &u_wsk_dw::rows_changed);
  d_->model->on_refused = [this](const std::string& msg) { show_refusal(msg); };
  keep_grid_selection_on_current_row();
  raise_grid_events();
  sort_by_header_clicks();
  if (d_->current_colour) of_set_currentrow_background(d_->current_colour->red() +
                                                       d_->current_colour->green() * 256 +
                                                       d_->current_colour->blue() * 65536);
}

// Hidden columns, widths from the definition, then the widths this user dragged in this window.
void u_wsk_dw::size_grid_columns(const std::string& name) {
  const auto& cols = d_->dv->definition().columns;
  std::vector<std::string> names;
  for (int c = 0; c < int(cols.size()); ++c) {
    names.push_back(cols[size_t(c)].name);
    if (!cols[size_t(c)].visible) d_->grid->setColumnHidden(c, true);
    else if (cols[size_t(c)].width > 0) d_->grid->setColumnWidth(c, units_to_px_x(cols[size_t(c)].width));
  }
  remember_column_widths(d_->grid, QString(window()->metaObject()->className()) + "/" +
                                       QString::fromStdString(name), names);
  fit_whole_values();
}

void u_wsk_dw::fit_whole_values() {
  if (!d_->grid) return;
  // Row numbers and times are never cut: their columns grow to the widest value they show (the
  // last row's number; a whole date and time), however narrow they were declared or dragged.
  const QFontMetrics fm(d_->grid->font());
  const int padding = 2 * d_->grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 12;
  const auto& cols = d_->dv->definition().columns;
  for (int c = 0; c < int(cols.size()); ++c) {
    const dv_column& col = cols[size_t(c)];
    QString widest;
    if (iequals(trim_blanks(col.expression), "getrow()"))
      widest = QString(QString::number(std::max<int64_t>(rowcount(), 1)).size(), QChar('0'));
    else if (col.type == col_type::datetime_t && col.expression.empty())
      widest = QStringLiteral("0000-00-00 00:00:00");
    if (widest.isEmpty() || d_->grid->isColumnHidden(c)) continue;
    const int need = fm.horizontalAdvance(widest) + padding;
    if (d_->grid->columnWidth(c) < need) d_->grid->setColumnWidth(c, need);
  }
}

// The data view's current row and the grid's selected row follow each other.
void u_wsk_dw::keep_grid_selection_on_current_row() {
  d_->model->on_current_changed = [this](int64_t, int64_t new_row) {
    if (d_->syncing) return;
    d_->syncing = true;
    QItemSelectionModel* sel = d_->grid->selectionModel();
    if (new_row >= 1) {
      const QModelIndex cur = d_->grid->currentIndex();
      int col = cur.isValid() ? cur.column() : 0;
      while (col < d_->model->columnCount() - 1 && d_->grid->isColumnHidden(col)) ++col;
      const QModelIndex idx = d_->model->index(int(new_row - 1), col);
      sel->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      d_->grid->scrollTo(idx);
    } else {
      sel->clear();
    }
    d_->syncing = false;
  };
  d_->model->on_reset = [this] { d_->model->on_current_changed(0, d_->dv->getrow()); };
  connect(d_->grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current, const QModelIndex&) {
            if (d_->syncing || !current.isValid()) return;
            d_->syncing = true;
            (void)d_->dv->setrow(current.row() + 1);  // the grid's row: always there
            d_->syncing = false;
            // The row may be selected only partly after a keyboard move: select it whole.
            d_->grid->selectionModel()->select(
                current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
          });
}

// Clicks, double-clicks and Enter in the grid go to the window as this control's events.
void u_wsk_dw::raise_grid_events() {
  connect(d_->grid, &QAbstractItemView::clicked, this, [this](const QModelIndex& i) {
    control_events::of(this).dw_clicked(*this, i.row() + 1);
  });
  d_->grid->on_enter = [this] { control_events::of(this).dw_enterpressed(*this); };
  d_->grid->on_double_click = [this](int64_t row) {
    control_events::of(this).dw_doubleclicked(*this, row);
  };
}

// With header sorting on, a click on a header sorts by its column, again: the other way.
void u_wsk_dw::sort_by_header_clicks() {
  QHeaderView* hh = d_->grid->horizontalHeader();
  connect(hh, &QHeaderView::sectionClicked, this, [this](int col) {
    if (!d_->header_sort) return;
    d_->sort_descending = d_->sort_column == col ? !d_->sort_descending : false;
    d_->sort_column = col;
    const std::string& name = d_->dv->definition().columns[size_t(col)].name;
    // A column of the view by its own name: the sort is always well formed.
    if (d_->dv->setsort(name + (d_->sort_descending ? " D" : " A")) > 0) (void)d_->dv->sort();
    d_->grid->horizontalHeader()->setSortIndicator(
        col, d_->sort_descending ? Qt::DescendingOrder : Qt::AscendingOrder);
  });
  hh->setSortIndicator(-1, Qt::AscendingOrder);  // no arrow until the user sorts
  set_header_sort(d_->header_sort);
}

std::string u_wsk_dw::dataobject() const { return d_->dataobject; }
data_view& u_wsk_dw::dv() { return *d_->dv; }
const data_view& u_wsk_dw::dv() const { return *d_->dv; }

void u_wsk_dw::of_settransobject(uo_transaction& tr) {
  d_->dv->settransobject(&tr);
}

long u_wsk_dw::of_retrieve() {
  // A list read again keeps its place: the row with the same id becomes current where it is
  // still shown.
  const int64_t id = of_get_id();
  const int64_t place = getrow();
  const long rc = kpo_retrieve();
  if (id > 0 && rc > 0 && of_get_id() != id) {
    int64_t found = 0;
    for (int64_t r = 1, n = rowcount(); r <= n && !found; ++r)
      if (of_get_id(r) == id) found = r;
    if (!found && ib_keep_place) found = std::min<int64_t>(place, rowcount());
    if (found > 0) (void)scrolltorow(found);  // a row just counted: always there
  }
  return rc;
}

long u_wsk_dw::kpo_retrieve() { return control_events::of(this).dw_kpo_retrieve(*this); }

// The control's own handling of its retrieve and update events, where no window replaces it.
long control_events::dw_kpo_retrieve(u_wsk_dw& dw) { return long(dw.retrieve()); }

int control_events::dw_kpo_update(u_wsk_dw& dw) {
  const int rc = dw.dv().update();
  if (rc < 0) messagebox(dw.is_update_error_title, dw.dv().last_error(), mb_icon::stop, mb_buttons::ok, 1);
  return rc;
}

int64_t u_wsk_dw::of_get_id() const { return of_get_id(getrow()); }

int64_t u_wsk_dw::of_get_id(int64_t row) const {
  if (is_id_columnname.empty() || row < 1 || row > rowcount()) return 0;
  if (d_->dv->definition().column_index(is_id_columnname) < 0) return 0;
  const std::optional<decimal> id = d_->dv->getitemnumber(row, is_id_columnname);
  return id ? id->to_long() : 0;
}

int u_wsk_dw::of_update() {
  const change_counts n = count_changes(*d_->dv);
  const int rc = kpo_update();
  if (rc >= 0) emit updated(n.inserted, n.changed, n.deleted);
  return rc;
}

int u_wsk_dw::kpo_update() { return control_events::of(this).dw_kpo_update(*this); }

void u_wsk_dw::of_set_currentrow_background(long rgb) {
  const QColor c(int(rgb & 0xff), int((rgb >> 8) & 0xff), int((rgb >> 16) & 0xff));
  d_->current_colour = c;
  if (!d_->grid) return;
  d_->model->set_current_colour(c);
  // The current row is the selected row: it is painted in the colour, text stays readable.
  QPalette p = d_->grid->palette();
  for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
    p.setColor(g, QPalette::Highlight, c);
    p.setColor(g, QPalette::HighlightedText, Qt::black);
  }
  d_->grid->setPalette(p);
}

int64_t u_wsk_dw::retrieve(std::vector<value> args) {
  // The drop-downs' rows come first, so that the rows show their display values; a drop-down
  // that cannot be read is reported, and its column shows the stored codes.
  if (d_->dv->transobject() && !d_->dv->choices_loaded() && d_->dv->load_choices() < 0)
    messagebox(window()->windowTitle().toStdString(), "读取下拉列表失败：\n" + d_->dv->last_error(),
               mb_icon::stop, mb_buttons::ok, 1);
  QElapsedTimer clock;
  clock.start();
  int64_t rc;
  if (d_->show_progress) {
    work_progress progress(window(), QString::fromUtf8("读取数据"), QString::fromUtf8("已读取 %1 行..."));
    rc = d_->dv->retrieve(std::move(args), [&progress](int64_t rows) { return progress.step(rows); });
  } else {
    rc = d_->dv->retrieve(std::move(args));
  }
  if (rc < 0) report_error("读取数据失败：\n" + d_->dv->last_error());
  emit retrieved(rc, clock.elapsed());
  return rc;
}

int64_t u_wsk_dw::rowcount() const { return d_->dv->rowcount(); }
int64_t u_wsk_dw::getrow() const { return d_->dv->getrow(); }
int u_wsk_dw::setrow(int64_t row) { return d_->dv->setrow(row); }
int u_wsk_dw::scrolltorow(int64_t row) { return d_->dv->scrolltorow(row); }
int64_t u_wsk_dw::find(std::string_view expr, int64_t start, int64_t end) {
  return d_->dv->find(expr, start, end);
}
int u_wsk_dw::setfilter(std::string_view expr) {
  const int rc = d_->dv->setfilter(expr);
  if (rc < 0) report_error("过滤条件无效，显示的行未按它过滤：\n" + d_->dv->last_error());
  return rc;
}
int u_wsk_dw::filter() { return d_->dv->filter(); }
int u_wsk_dw::setsort(std::string_view spec) { return d_->dv->setsort(spec); }
int u_wsk_dw::sort() { return d_->dv->sort(); }
std::optional<decimal> u_wsk_dw::getitemnumber(int64_t row, std::string_view column) const {
  return d_->dv->getitemnumber(row, column);
}
std::optional<std::string> u_wsk_dw::getitemstring(int64_t row, std::string_view column) const {
  return d_->dv->getitemstring(row, column);
}
int u_wsk_dw::setitem(int64_t row, std::string_view column, const value& v) {
  return d_->dv->setitem(row, column, v);
}
int64_t u_wsk_dw::insertrow(int64_t before) {
  const int64_t row = d_->dv->insertrow(before);
  if (row > 0) (void)d_->dv->scrolltorow(row);  // the row just inserted
  return row;
}
int u_wsk_dw::deleterow(int64_t row) { return d_->dv->deleterow(row); }
int u_wsk_dw::accepttext() { return d_->dv->accepttext(); }
int64_t u_wsk_dw::modifiedcount() const { return d_->dv->modifiedcount(); }
int64_t u_wsk_dw::deletedcount() const { return d_->dv->deletedcount(); }
std::string u_wsk_dw::modify(std::string_view property) {
  std::string err = d_->dv->modify(property);
  if (!err.empty()) report_error("数据对象属性设置失败：\n" + err);
  return err;
}

void u_wsk_dw::setfocus() {
  if (d_->grid) d_->grid->setFocus(Qt::OtherFocusReason);
  else if (d_->form) d_->form->focus_first();
  else setFocus(Qt::OtherFocusReason);
}

void u_wsk_dw::set_header_sort(bool on) {
  d_->header_sort = on;
  if (!d_->grid) return;
  QHeaderView* hh = d_->grid->horizontalHeader();
  hh->setSortIndicatorShown(on);
  if (on) use_sort_header_style(hh);
}

void u_wsk_dw::set_vscroll(bool on) {
  d_->vscroll = on;
  const auto policy = on ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
  if (d_->grid) d_->grid->setVerticalScrollBarPolicy(policy);
  if (d_->scroll) d_->scroll->setVerticalScrollBarPolicy(policy);
}

void u_wsk_dw::set_hscroll(bool on) {
  d_->hscroll = on;
  const auto policy = on ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
  if (d_->grid) d_->grid->setHorizontalScrollBarPolicy(policy);
  if (d_->scroll) d_->scroll->setHorizontalScrollBarPolicy(policy);
}

void u_wsk_dw::set_border(bool on) {
  d_->border = on;
  if (d_->grid) d_->grid->setFrameShape(on ? QFrame::StyledPanel : QFrame::NoFrame);
  if (d_->scroll) d_->scroll->setFrameShape(on ? QFrame::StyledPanel : QFrame::NoFrame);
}

void u_wsk_dw::set_show_progress(bool on) { d_->show_progress = on; }

QTableView* u_wsk_dw::grid() const { return d_->grid; }

QWidget* u_wsk_dw::field_widget(std::string_view column) const {
  return d_->form ? d_->form->field_widget(column) : nullptr;
}

QLabel* u_wsk_dw::field_label(std::string_view column) const {
  return d_->form ? d_->form->label_widget(column) : nullptr;
}

std::string u_wsk_dw::display_text(int64_t row, int column) const {
  if (d_->model) return d_->model->cell_text(int(row - 1), column).toStdString();
  return d_->dv->gettext(row, column);
}

u_wsk_dw_sort::u_wsk_dw_sort(QWidget* parent) : u_wsk_dw(parent) { set_header_sort(true); }
