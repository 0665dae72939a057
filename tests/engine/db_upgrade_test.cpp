// Databases of earlier releases are upgraded in place: every row kept, the new constraints
// carried, the version recorded; a second run changes nothing; a newer layout is never written;
// a process killed mid-upgrade leaves the old layout whole.
#include <gtest/gtest.h>

#include <csignal>

#include "award/member_award_redeem.h"
#include "data/schema.h"
#include "support/old_layouts.h"
#include "support/test_db.h"

namespace {

class db_upgrade_test : public db_test {
 public:
  db_upgrade_test() { with_schema_ = false; }

 protected:
  // The layout with rows in every table; false when the backend never had it.
  bool lay_out(const old_layout& layout) {
    std::string error;
    EXPECT_EQ(drop_schema(admin()), 0) << admin().sqlerrtext;
    if (!load_old_layout(admin(), layout, error)) {
      EXPECT_EQ(error, "");
      return false;
    }
    EXPECT_TRUE(fill_old_rows(admin(), error)) << error;
    EXPECT_EQ(member_schema_version(admin()), layout.version);
    return true;
  }
};
INSTANTIATE_BOTH_BACKENDS(db_upgrade_test);

TEST_P(db_upgrade_test, every_old_layout_is_upgraded_in_place_keeping_every_row) {
  ASSERT_EQ(create_schema(admin()), 0) << admin().sqlerrtext;
  const std::string fresh = dump_catalog(admin());
  for (const old_layout& layout : {release_1_0_0, before_without_rowid}) {
    SCOPED_TRACE(layout.name);
    if (!lay_out(layout)) continue;
    const std::string rows = dump_old_rows(admin());
    ASSERT_EQ(create_schema(admin()), 0) << admin().sqlerrtext;
    EXPECT_EQ(member_schema_version(tr()), member_schema().version) << "a terminal reads it";
    EXPECT_EQ(dump_old_rows(admin()), rows);
    EXPECT_EQ(dump_catalog(admin()), fresh) << "the layout of a new database";

    // The new constraints hold for rows written after the upgrade.
    for (const char* refused :
         {"UPDATE t_member_award_method SET mdintegral = -1 WHERE methodid = 2",
          "INSERT INTO t_member_award_record (seqid, redeemkey) VALUES (10, 7), (11, 7)"}) {
      EXPECT_EQ(admin().execute(refused), -1) << refused;
      admin().rollback();
    }
    if (kind() == backend::sqlite)
      EXPECT_EQ(scalar_long("SELECT COUNT(*) FROM sqlite_master WHERE sql LIKE '%WITHOUT ROWID%'"), 1);

    // A redemption, which needs the new column, works on the upgraded database.
    award_redemption r;
    ASSERT_EQ(member_award_redeem(tr(), r, 1, 150, "精美雨伞", std::nullopt, 20261210), redeem_done)
        << tr().sqlerrtext;
    EXPECT_EQ(scalar_long("SELECT integral FROM t_member WHERE memberid = 1"), 2850);
    EXPECT_EQ(scalar_long("SELECT seqid FROM t_member_award_record WHERE redeemkey = :k",
                          {value(r.key)}),
              3);

    // A second run finds nothing to do.
    const std::string catalog = dump_catalog(admin()), after = dump_old_rows(admin());
    ASSERT_EQ(create_schema(admin()), 0) << admin().sqlerrtext;
    EXPECT_EQ(dump_catalog(admin()), catalog);
    EXPECT_EQ(dump_old_rows(admin()), after);
  }
}

TEST_P(db_upgrade_test, a_newer_layout_is_refused_and_never_written) {
  ASSERT_EQ(create_schema(admin()), 0) << admin().sqlerrtext;
  exec("UPDATE t_schema_version SET version = :v", {value(int64_t(member_schema().version + 1))});
  const std::string catalog = dump_catalog(admin());
  EXPECT_EQ(create_schema(admin()), -1);
  EXPECT_NE(admin().sqlerrtext.find("newer than this program"), std::string::npos)
      << admin().sqlerrtext;
  EXPECT_FALSE(admin().in_transaction());
  EXPECT_EQ(dump_catalog(admin()), catalog);
  EXPECT_EQ(member_schema_version(admin()), member_schema().version + 1);
}

// Rows the new layout would refuse, or a column only another program knows, stop the upgrade
// before anything changes: the shop corrects them and starts again.
TEST_P(db_upgrade_test, what_the_new_layout_would_lose_or_refuse_stops_the_upgrade) {
  struct {
    const char* change;
    bool refused_on_postgres;  // PostgreSQL alters in place and keeps other columns
    const char* why;
  } cases[] = {
      {"UPDATE t_member_award_method SET mdintegral = -5 WHERE methodid < 3", true,
       "2 rows of t_member_award_method break the rule mdintegral >= 0"},
      {"ALTER TABLE t_member_award_method ADD COLUMN shopnote VARCHAR(20)", false,
       "the column shopnote of t_member_award_method is not in this release's layout"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.change);
    ASSERT_TRUE(lay_out(release_1_0_0));
    exec(c.change);
    const std::string rows = dump_old_rows(admin());
    if (kind() == backend::postgres && !c.refused_on_postgres) {
      EXPECT_EQ(create_schema(admin()), 0) << admin().sqlerrtext;
      continue;
    }
    EXPECT_EQ(create_schema(admin()), -1);
    EXPECT_NE(admin().sqlerrtext.find(c.why), std::string::npos) << admin().sqlerrtext;
    EXPECT_EQ(member_schema_version(admin()), release_1_0_0.version);
    EXPECT_EQ(dump_old_rows(admin()), rows);
  }
}

using db_upgrade_death_test = db_upgrade_test;
INSTANTIATE_BOTH_BACKENDS(db_upgrade_death_test);

TEST_P(db_upgrade_death_test, a_process_killed_mid_upgrade_leaves_the_old_layout_whole) {
  ASSERT_TRUE(lay_out(release_1_0_0));
  const std::string rows = dump_old_rows(admin()), catalog = dump_catalog(admin());
  // Killed once the upgrade has changed a table: SQLite dropped the old one, PostgreSQL altered it.
  const char* stop_at = kind() == backend::sqlite ? "ALTER TABLE t_member_award_method_upgraded"
                                                  : "ALTER TABLE t_member_award_record";
  EXPECT_EXIT(
      {
        uo_transaction t;
        if (t.connect(admin_url()) != 0) std::_Exit(2);
        create_schema(t, [&](std::string_view sql) {
          if (sql.starts_with(stop_at)) std::raise(SIGKILL);
        });
        std::_Exit(3);
      },
      ::testing::KilledBySignal(SIGKILL), "");
  EXPECT_EQ(member_schema_version(admin()), release_1_0_0.version);
  EXPECT_EQ(dump_old_rows(admin()), rows);
  EXPECT_EQ(dump_catalog(admin()), catalog);
  ASSERT_EQ(create_schema(admin()), 0) << admin().sqlerrtext;
  EXPECT_EQ(dump_old_rows(admin()), rows);
}

}  // namespace
