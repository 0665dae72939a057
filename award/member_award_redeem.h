#pragma once
// One points redemption as a unit of work on a given transaction: the redemption record, its
// upload-queue entry and the deduction of the points, all or nothing. The redemption dialog runs
// it on sqlca; any terminal without a screen can run it on a transaction of its own.

#include <cstdint>
#include <optional>
#include <string>

class uo_transaction;

// The identity of one redemption, chosen before its first attempt and kept for its retries. It
// is stored with the record under a unique constraint, so that a retry after an outcome that was
// not known finds the record of its earlier attempt instead of storing the redemption twice.
struct award_redemption {
  award_redemption();
  int64_t key;            // random, never 0
  bool in_doubt = false;  // an earlier attempt ended without learning whether it was stored
};

// What a redemption attempt ended with.
inline constexpr int redeem_done = 1;        // stored (now or by an earlier attempt), and durable
inline constexpr int redeem_failed = -1;     // nothing stored; the failing step was reported
inline constexpr int redeem_not_known = -2;  // the database did not say whether it was stored

// Redeems an award costing `points` for member `memberid` on `date` (yyyymmdd), copying the
// award's name and notes into the record. When an earlier attempt of the redemption was in doubt
// it first looks for that attempt's record. Otherwise it takes the next number of the sequence
// "t_member_award" and writes the record, then the queue entry, then lowers the points, but only
// while the member still has them, and commits; an award of negative points is refused before
// anything is written. A commit whose answer is lost looks for the
// record too. Records found count as done only once the database confirms them durable.
int member_award_redeem(uo_transaction& tr, award_redemption& redemption, int64_t memberid,
                        int64_t points, const std::optional<std::string>& name,
                        const std::optional<std::string>& notes, int64_t date);
