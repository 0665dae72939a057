#include "host/launcher_window.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>
#include <algorithm>
#include <charconv>

#include "framework/db/connection.h"
#include "framework/db/transaction.h"
#include "framework/runtime/runtime.h"
#include "framework/ui/module_font.h"
#include "framework/ui/w_base.h"
#include "framework/ui/window_registry.h"

namespace {
const char* const k_unavailable = "（未提供）";
QString qs(const std::string& s) { return QString::fromStdString(s); }

const char* security_text(link_security s) {
  switch (s) {
    case link_security::local_socket: return "连接：本机服务器（Unix 套接字）";
    case link_security::tls_verified: return "连接：TLS 加密，服务器证书已验证（verify-full）";
    case link_security::tls_ca_only: return "连接：TLS 加密，证书由商店 CA 签发，主机名未核对（verify-ca）";
    case link_security::tls_unverified: return "连接：TLS 加密，服务器身份未验证";
    case link_security::plain: return "连接：未加密，密码与数据以明文传送";
    case link_security::file: break;
  }
  return "";
}
}  // namespace

namespace {
// The declared windows by what they are opened with: "" (nothing), "text", "memberid".
std::vector<module_window> windows_opened_with(const std::string& what) {
  std::vector<module_window> out;
  for (const module_window& w : declared_windows())
    if (w.opens_with == what) out.push_back(w);
  return out;
}
}  // namespace

std::vector<std::string> launcher_window::list_windows() {
  std::vector<std::string> out;
  for (const module_window& w : windows_opened_with("")) out.push_back(w.class_name);
  return out;
}

QPushButton* launcher_window::make_button(const std::string& class_name,
                                          const std::string& caption) {
  const bool available = window_available(class_name);
  QString text = qs(caption);
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

launcher_window::launcher_window(const std::string& database_url,
                                 const std::vector<module_failure>& failures,
                                 const std::string& database_note, QWidget* parent)
    : QWidget(parent) {
  setFont(module_font());
  setWindowTitle(QString::fromUtf8("会员模块 演示终端"));
  auto* root = new QVBoxLayout(this);

  auto* st_db = new QLabel(QString::fromUtf8("数据库：") + qs(display_url(database_url)));
  st_db->setObjectName("st_database");
  st_db->setTextInteractionFlags(Qt::TextSelectableByMouse);
  st_db->setWordWrap(true);
  root->addWidget(st_db);
  if (const db_connection* c = sqlca.connection(); c && c->security() != link_security::file) {
    auto* st_link = new QLabel(QString::fromUtf8(security_text(c->security())));
    st_link->setObjectName("st_security");
    st_link->setWordWrap(true);
    root->addWidget(st_link);
  }
  if (!database_note.empty()) {
    auto* st_note = new QLabel(qs("数据库升级：" + database_note));
    st_note->setObjectName("st_database_note");
    st_note->setWordWrap(true);
    st_note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    root->addWidget(st_note);
  }

  st_modules = new QLabel;
  st_modules->setObjectName("st_modules");
  st_modules->setWordWrap(true);
  st_modules->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QStringList lines;
  for (const module_failure& f : failures) lines << qs("模块未加载：" + f.text());
  st_modules->setText(lines.join("\n"));
  st_modules->setVisible(!failures.empty());
  root->addWidget(st_modules);

  // The module windows by what they are opened with: nothing, a search text, a member id.
  const std::vector<module_window> plain = windows_opened_with("");
  const std::vector<module_window> by_text = windows_opened_with("text");
  const std::vector<module_window> by_memberid = windows_opened_with("memberid");

  auto* gb_windows = new QGroupBox(QString::fromUtf8("模块窗口"));
  auto* windows = new QGridLayout(gb_windows);
  windows->setColumnStretch(1, 1);
  int row = 0;
  for (const module_window& e : plain) {
    QPushButton* b = make_button(e.class_name, e.caption);
    const std::string name = e.class_name;
    connect(b, &QPushButton::clicked, this, [this, name] { open_class(name); });
    windows->addWidget(b, row, 0);
    windows->addWidget(make_class_label(name), row++, 1);
  }
  gb_windows->setVisible(!plain.empty());
  root->addWidget(gb_windows);

  auto* gb_choose = new QGroupBox(QString::fromUtf8("选择会员（查找文本）"));
  auto* choose = new QGridLayout(gb_choose);
  sle_search = new QLineEdit;
  sle_search->setObjectName("sle_search");
  sle_search->setPlaceholderText(QString::fromUtf8("会员代号、会员号或姓名的开头"));
  choose->addWidget(sle_search, 0, 0, std::max<int>(1, int(by_text.size())), 1);
  row = 0;
  for (const module_window& e : by_text) {
    QPushButton* cb_choose = make_button(e.class_name, e.caption);
    const std::string name = e.class_name;
    connect(cb_choose, &QPushButton::clicked, this, [this, name] { choose_member(name); });
    if (row == 0) connect(sle_search, &QLineEdit::returnPressed, cb_choose, &QPushButton::click);
    choose->addWidget(cb_choose, row, 1);
    choose->addWidget(make_class_label(e.class_name), row++, 2);
  }
  st_chosen = new QLabel(QString::fromUtf8("返回的会员代号：—"));
  st_chosen->setObjectName("st_chosen");
  choose->addWidget(st_chosen, std::max(row, 1), 0, 1, 3);
  gb_choose->setVisible(!by_text.empty());
  root->addWidget(gb_choose);

  auto* gb_member = new QGroupBox(QString::fromUtf8("按会员代号打开"));
  auto* member = new QGridLayout(gb_member);
  sle_memberid = new QLineEdit;
  sle_memberid->setObjectName("sle_memberid");
  sle_memberid->setPlaceholderText(QString::fromUtf8("会员代号"));
  sle_memberid->setText("1");
  member->addWidget(sle_memberid, 0, 0, int(by_memberid.size()), 1);
  row = 0;
  for (const module_window& e : by_memberid) {
    QPushButton* b = make_button(e.class_name, e.caption);
    const std::string name = e.class_name;
    connect(b, &QPushButton::clicked, this, [this, name] { open_with_memberid(name); });
    member->addWidget(b, row, 1);
    member->addWidget(make_class_label(e.class_name), row++, 2);
  }
  member->setColumnStretch(2, 1);
  root->addWidget(gb_member);

  st_status = new QLabel;
  st_status->setObjectName("st_status");
  st_status->setWordWrap(true);
  root->addWidget(st_status);
  root->addStretch(1);
  resize(sizeHint().expandedTo(QSize(520, 0)));
}

void launcher_window::open_class(const std::string& class_name, int64_t parm) {
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
  open_class(class_name, id);
}

void launcher_window::choose_member(const std::string& class_name) {
  st_status->clear();
  open_window_text(class_name, sle_search->text().toStdString());
  const int64_t id = message.number();
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
