#pragma once
// The award record report's grid: the redemptions dated from :starttime to :endtime (yyyymmdd,
// both inclusive) with the member's number, name and identity card. Read only.

#include "framework/dataview/definition.h"

dv_definition make_dw_member_award_record();
