#pragma once
// One points redemption as a unit of work on a given transaction: the redemption record, its
// upload-queue entry and the deduction of the points, all or nothing. The redemption dialog runs
// it on sqlca; any terminal without a screen can run it on a transaction of its own.

#include <cstdint>
#include <optional>
#include <string>

class uo_transaction;

// Redeems an award costing `points` for member `memberid` on `date` (yyyymmdd), copying the
// award's name and notes into the record. Takes the next number of the sequence "t_member_award"
// and writes the record, then the queue entry, then lowers the points, but only while the member
// still has them; an award of negative points is refused before anything is written. Answers 1
// when all three are written and committed (also when the commit's answer was lost but the record
// is found afterwards); -1 when nothing is written (the failing step has been reported and rolled
// back), or when the connection went during the commit and the outcome could not be learnt, which
// the report says.
int member_award_redeem(uo_transaction& tr, int64_t memberid, int64_t points,
                        const std::optional<std::string>& name,
                        const std::optional<std::string>& notes, int64_t date);
