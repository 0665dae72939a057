#pragma once
// The bills of one member from the host's bill table: bill number, date and amount, oldest first.
// Read only; retrieval argument an_memberid.

#include "framework/dataview/definition.h"

dv_definition make_dw_member_sale_sum();
