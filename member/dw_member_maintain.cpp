#include "member/dw_member_maintain.h"

#include "framework/dataview/columns.h"
#include "member/member_rules.h"
#include "member/member_site.h"

dv_definition make_dw_member_maintain() {
  using namespace dv_columns;
  dv_definition d;
  d.name = "dw_member_maintain";
  d.arguments = {{"an_siteid", col_type::long_t}};
  d.update_table = "t_member";
  d.row_rules = member_row_rules;
  d.row_names = {"memberno", "membername"};

  // Whole completed years from the birthday (yyyymmdd) to today; no age for a birthday that is
  // not a valid date.
  const std::string age_from_birthday = "years_after(date(string(birthday,'####-##-##')), today())";

  d.columns = {
      row_number().x(9).width(224),
      stored("memberid", integer).header("会员代号").x(242).width(247).format("[general]").key(),
      stored("memberno", text(20)).header("会员号").x(498).width(306),
      stored("membername", text(60)).header("会员名称").x(814).width(366).format("[general]"),
      stored("memberaddr", text(60)).header("会员地址").x(1189).width(498),
      stored("contactphone", text(20)).header("联系电话").x(1696).width(434).tab(10),
      stored("mobile", text(11)).header("移动电话").x(2139).width(393).tab(20),
      stored("amountconsumed", decimal_places(2)).header("累计消费金额").x(2542).width(357)
          .format("0.00"),
      stored("levelid", integer).header("会员等级").x(2907).width(370)
          .dropdown("dw_member_levelid", "levelname", "levelid"),
      // Shown only: the database stamps it, and a new row leaves it to the table's default.
      queried("lastupdated", date_time).header("最后更新").x(3287).width(279).format("[general]"),
      stored("integral", integer).header("积分").x(3575).width(274).format("[General]"),
      stored("sex", text(4)).header("性别").x(3858).width(183).tab(30)
          .codes({{"男", "男"}, {"女", "女"}}),
      stored("ail", text(40)).header("病例").x(4050).width(315).tab(40),
      stored("usercard", text(18)).header("身份证").x(4375).width(581).tab(50),
      stored("company", text(40)).header("工作单位").x(4965).width(361).tab(60),
      stored("notes", text(100)).header("备注").x(5335).width(622).tab(70),
      stored("medcard", integer).header("医保卡").x(5966).width(183).tab(80).checkbox(),
      stored("available", integer).header("做废").x(6158).width(192).tab(90).checkbox(),
      stored("adddate", date_number).header("增加日期").x(6359).width(357).tab(100),
      stored("code", text(20)).header("代码").x(6725).width(425).tab(110),
      stored("birthday", date_number).header("出生日期").x(7159).width(343).tab(120),
      computed("compute_2", integer, age_from_birthday).header("年龄").x(7511).width(155)
          .format("[General]"),
      stored("siteid", integer).header("门店代号").x(7675).width(315),
      stored("marry", text(10)).header("婚姻状况").x(8000).width(261)
          .codes({{"未婚", "未婚"}, {"已婚", "已婚"}, {"离婚", "离婚"}}),
      stored("jones", text(100)).header("爱好").x(8270).width(818),
      stored("medical", text(100)).header("过敏史").x(9097).width(782),
      // The stored age is read but not shown: the grid shows its own from the birthday.
      stored("age", integer).header("年龄").hidden(),
  };
  d.sql = select_from("t_member", d.columns) + "\n WHERE " + member_site_condition();
  return d;
}
