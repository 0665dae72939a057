#pragma once
// Deterministic demo data: member levels, members with Chinese names and addresses, articles with
// level prices, award methods and records, bills and the system parameters.

#include <cstdint>

#include "framework/db/transaction.h"

struct demo_options {
  int64_t members = 200;        // 10 .. 1,000,000; memberid 1..members
  int64_t articles = 100;       // articleid 1..articles
  int64_t award_records = 100;  // seqid 1..award_records; the award sequence continues after them
  int64_t bills = -1;           // bills in t_bill_header; -1: one for every fourth member
  uint64_t seed = 20090705;     // the same seed gives the same data
  // The day the database is made (yyyymmdd): nothing is dated after it, award records fall in
  // its year and the one before, and ages are as of this day.
  int64_t made_on = 20241231;
};

// Fills an empty schema (see create_schema) in one transaction and commits. 0 on success; -1 with
// tr's sqlerrtext set (nothing written).
int generate_demo_data(uo_transaction& tr, const demo_options& options = {});
