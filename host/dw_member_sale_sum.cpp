#include "host/dw_member_sale_sum.h"

dv_definition make_dw_member_sale_sum() {
  using enum col_type;
  dv_definition d;
  d.name = "dw_member_sale_sum";
  d.sql = R"(SELECT t_bill_header.billno,
       t_bill_header.billdate,
       t_bill_header.amount
  FROM t_bill_header
 WHERE t_bill_header.memberid = :an_memberid
 ORDER BY t_bill_header.billdate, t_bill_header.billno)";
  d.arguments = {{"an_memberid", long_t}};

  dv_column row_number;
  row_number.name = "compute_1";
  row_number.type = long_t;
  row_number.expression = "getrow()";
  row_number.header = "序号";
  row_number.x = 9;
  row_number.width = 200;  // room for the sort mark

  dv_column billno;
  billno.name = "billno";
  billno.type = string_t;
  billno.length = 30;
  billno.header = "单据号";
  billno.x = 218;
  billno.width = 520;

  dv_column billdate;
  billdate.name = "billdate";
  billdate.type = datetime_t;
  billdate.header = "日期";
  billdate.x = 747;
  billdate.width = 620;

  dv_column amount;
  amount.name = "amount";
  amount.type = decimal_t;
  amount.scale = 2;
  amount.header = "金额";
  amount.x = 1376;
  amount.width = 420;
  amount.format = "0.00";

  d.columns = {row_number, billno, billdate, amount};
  return d;
}

static dv_registration reg_dw_member_sale_sum(make_dw_member_sale_sum());
