#include "host/dw_member_sale_sum.h"

#include "framework/dataview/columns.h"

dv_definition make_dw_member_sale_sum() {
  using namespace dv_columns;
  dv_definition d;
  d.name = "dw_member_sale_sum";
  d.arguments = {{"an_memberid", col_type::long_t}};

  d.columns = {
      row_number().x(9).width(200),  // room for the sort mark
      queried("billno", text(30)).header("单据号").x(218).width(520),
      queried("billdate", date_time).header("日期").x(747).width(620),
      queried("amount", decimal_places(2)).header("金额").x(1376).width(420).format("0.00"),
  };
  d.sql = select_from("t_bill_header", d.columns) +
          "\n WHERE t_bill_header.memberid = :an_memberid"
          "\n ORDER BY t_bill_header.billdate, t_bill_header.billno";
  return d;
}
