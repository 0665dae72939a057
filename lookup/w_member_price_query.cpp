#include "lookup/w_member_price_query.h"

#include <QFont>

#include "framework/expression/expression.h"
#include "framework/runtime/runtime.h"

namespace {

// Removes leading and trailing space characters (other blanks stay).
std::string trim_spaces(const std::string& s) {
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

w_member_price_query::w_member_price_query(QWidget* parent) : w_simple_report(parent) {}

void w_member_price_query::create() {
  w_simple_report::create();
  set_title("会员价格查询");

  const QFont font("宋体", 9, QFont::Normal);
  st_1 = new QLabel(QString::fromUtf8("请选择品种代号"), this);
  st_1->setObjectName("st_1");
  st_1->setFont(font);
  st_1->setFocusPolicy(Qt::NoFocus);
  place(st_1, 18, 200, 398, 56);

  sle_article = new u_wsk_sle(this);
  sle_article->setObjectName("sle_article");
  sle_article->setFont(font);
  place(sle_article, 416, 180, 485, 88);

  set_dw_top(284);
  (void)dw_1->set_dataobject("dw_member_price_query");  // a missing data object is reported by the control
  dw_1->is_id_columnname = "articleid";
  dw_1->is_lastcolumnname = "0";
  setTabOrder(sle_article, dw_1);
}

void w_member_price_query::kpo_postopen() {
  w_simple_report::kpo_postopen();
  (void)dw_1->retrieve();  // a failed read is reported by the control
  sle_article->setFocus();
}

long w_member_price_query::sle_modified(u_wsk_sle& sle) {
  w_simple_report::sle_modified(sle);
  // The id written as plain digits must equal the text: "0123" is not article 123, and the
  // number is never compared with the article's code or bar code.
  const std::string ls_article = trim_spaces(sle_article->text_utf8());
  const int64_t ll_row = dw_1->rowcount();
  if (ll_row > 0) {
    const int64_t found = dw_1->find("string(articleid)=" + expr_quote(ls_article), 1, ll_row);
    if (found > 0) (void)dw_1->scrolltorow(found);  // a found row: always there
  }
  return message.returnvalue;
}
