#pragma once
// A member's notes as a one-row data view that saves to t_member, as the member form does: for
// the tests of saves whose commit goes unanswered.

#include "framework/dataview/definition.h"

inline dv_definition member_notes_view() {
  dv_definition d;
  d.name = "dw_test_member_notes";
  d.sql = "SELECT memberid, notes FROM t_member WHERE memberid = :an_id";
  d.arguments = {{"an_id", col_type::long_t}};
  d.update_table = "t_member";
  dv_column id, notes;
  id.name = id.db_name = "memberid";
  id.type = col_type::long_t;
  id.key = true;
  notes.name = notes.db_name = "notes";
  notes.length = 100;
  d.columns = {id, notes};
  return d;
}
