#include "host/launcher_window.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <charconv>
#include <cmath>
#include <memory>

#include "framework/db/connection.h"
#include "framework/runtime/runtime.h"
#include "framework/ui/module_font.h"
#include "framework/ui/w_base.h"
#include "framework/ui/window_registry.h"

namespace {
const char* const k_unavailable = "（未提供）";
QString qs(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

const std::vector<std::string>& launcher_window::list_windows() {
  static const std::vector<std::string> windows = {
      "w_member_maintain", "w_member_view",         "w_member_price_query",
      "w_member_award",    "w_member_award_method", "w_member_award_record",
  };
  return windows;
}

std::string launcher_window::window_caption(const std::string& class_name) {
  // Windows set their title when they are made or in their create event; neither reads data.
  const std::unique_ptr<w_base> w(create_window(class_name));
  if (!w) return class_name;
  w->create();
  return w->title();
}

QPushButton* launcher_window::make_button(const std::string& class_name) {
  const bool available = window_available(class_name);
  QString text = qs(window_caption(class_name));
  if (!available) text += QString::fromUtf8(k_unavailable);
  auto* b = new QPushButton(text);
  b->setObjectName(qs("cb_" + class_name));
  b->setEnabled(available);
  b->setToolTip(qs(class_name));
  b->setMinimumWidth(QFontMetrics(module_font()).horizontalAdvance(text) + 36);
  return b;
}

QLabel* launcher_window::make_class_label(const std::string& class_name) {
  auto* l = new QLabel(qs(class_name));
  l->setEnabled(window_available(class_name));
  return l;
}

launcher_window::launcher_window(const std::string& database_url, QWidget* parent)
    : QWidget(parent) {
  setFont(module_font());
  setWindowTitle(QString::fromUtf8("会员模块 演示终端"));
  auto* root = new QVBoxLayout(this);

  auto* st_db = new QLabel(QString::fromUtf8("数据库：") + qs(display_url(database_url)));
  st_db->setObjectName("st_database");
  st_db->setTextInteractionFlags(Qt::TextSelectableByMouse);
  st_db->setWordWrap(true);
  root->addWidget(st_db);

  auto* gb_windows = new QGroupBox(QString::fromUtf8("模块窗口"));
  auto* windows = new QGridLayout(gb_windows);
  windows->setColumnStretch(1, 1);
  int row = 0;
  for (const std::string& name : list_windows()) {
    QPushButton* b = make_button(name);
    connect(b, &QPushButton::clicked, this, [this, name] { open_class(name); });
    windows->addWidget(b, row, 0);
    windows->addWidget(make_class_label(name), row++, 1);
  }
  root->addWidget(gb_windows);

  auto* gb_choose = new QGroupBox(QString::fromUtf8("选择会员（查找文本）"));
  auto* choose = new QGridLayout(gb_choose);
  sle_search = new QLineEdit;
  sle_search->setObjectName("sle_search");
  sle_search->setPlaceholderText(QString::fromUtf8("会员代号、会员号或姓名的开头"));
  QPushButton* cb_choose = make_button("w_choose_member");
  connect(cb_choose, &QPushButton::clicked, this, &launcher_window::choose_member);
  connect(sle_search, &QLineEdit::returnPressed, cb_choose, &QPushButton::click);
  st_chosen = new QLabel(QString::fromUtf8("返回的会员代号：—"));
  st_chosen->setObjectName("st_chosen");
  choose->addWidget(sle_search, 0, 0);
  choose->addWidget(cb_choose, 0, 1);
  choose->addWidget(make_class_label("w_choose_member"), 0, 2);
  choose->addWidget(st_chosen, 1, 0, 1, 3);
  root->addWidget(gb_choose);

  auto* gb_member = new QGroupBox(QString::fromUtf8("按会员代号打开"));
  auto* member = new QGridLayout(gb_member);
  sle_memberid = new QLineEdit;
  sle_memberid->setObjectName("sle_memberid");
  sle_memberid->setPlaceholderText(QString::fromUtf8("会员代号"));
  sle_memberid->setText("1");
  QPushButton* cb_info = make_button("w_member_info");
  QPushButton* cb_sum = make_button("w_member_sale_sum");
  connect(cb_info, &QPushButton::clicked, this, [this] { open_with_memberid("w_member_info"); });
  connect(cb_sum, &QPushButton::clicked, this, [this] { open_with_memberid("w_member_sale_sum"); });
  member->addWidget(sle_memberid, 0, 0, 2, 1);
  member->addWidget(cb_info, 0, 1);
  member->addWidget(make_class_label("w_member_info"), 0, 2);
  member->addWidget(cb_sum, 1, 1);
  member->addWidget(make_class_label("w_member_sale_sum"), 1, 2);
  member->setColumnStretch(2, 1);
  root->addWidget(gb_member);

  st_status = new QLabel;
  st_status->setObjectName("st_status");
  st_status->setWordWrap(true);
  root->addWidget(st_status);
  root->addStretch(1);
  resize(sizeHint().expandedTo(QSize(520, 0)));
}

void launcher_window::open_class(const std::string& class_name, double parm) {
  st_status->clear();
  w_base* w = open_window(class_name, parm);
  if (!w) return;  // a dialog: it has closed again
  w->setAttribute(Qt::WA_DeleteOnClose);
  open_.emplace_back(w);
}

void launcher_window::open_with_memberid(const std::string& class_name) {
  const std::string text = sle_memberid->text().trimmed().toStdString();
  int64_t id = 0;
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), id);
  if (ec != std::errc() || p != text.data() + text.size() || id < 1) {
    st_status->setText(QString::fromUtf8("请输入大于 0 的会员代号。"));
    sle_memberid->setFocus();
    return;
  }
  open_class(class_name, static_cast<double>(id));
}

void launcher_window::choose_member() {
  st_status->clear();
  open_window_text("w_choose_member", sle_search->text().toStdString());
  const long long id = std::llround(message.doubleparm);
  st_chosen->setText(QString::fromUtf8("返回的会员代号：") + QString::number(id) +
                     (id == 0 ? QString::fromUtf8("（未选择）") : QString()));
}

void launcher_window::closeEvent(QCloseEvent* e) {
  // Each open window closes itself first; one that keeps open (its user kept unsaved changes)
  // keeps the launcher open too.
  for (auto& w : open_) {
    if (w && w->isVisible() && !w->close()) {
      e->ignore();
      return;
    }
  }
  for (auto& w : open_) delete w.data();  // closed ones that were only hidden
  open_.clear();
  e->accept();
}
