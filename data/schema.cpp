// The member module's tables, declared once; both DDLs, the terminals' rights, the SQL files an
// administrator reads and the upgrades of older databases come from this declaration.
//
// Types: longs are BIGINT; texts VARCHAR(n) (never CHAR(n), which PostgreSQL pads with blanks);
// decimals NUMERIC(p,s) in PostgreSQL and REAL(p,s) in SQLite, so that SQLite divides them as
// numbers (amountconsumed / currentvalue) and the connection reads them back rounded to the
// declared scale; datetimes TIMESTAMP(0) in PostgreSQL and DATETIME (text 'YYYY-MM-DD HH:MM:SS')
// in SQLite.
//
// Versions of the layout: 1 level prices kept with a rowid and a covering index (SQLite);
// 2 level prices stored by (article, level) without a rowid (release 1.0.0); 3 award points never
// negative, redemption records carry their redeemkey, the version is stored. A change to the
// layout raises `version`; a new column goes last in its table with `.since` at that version (a
// new check on an old column: `.check_since`), and the upgrade of every older database follows.
//
// Indexes: memberno and membername serve prefix LIKE (PostgreSQL: varchar_pattern_ops; SQLite:
// the binary index with case-sensitive LIKE), and the choose-member dialog compares
// CAST(memberid AS VARCHAR(20)) with the search text, which an expression index serves.
#include "data/schema.h"

#include <string>
#include <vector>

#include "framework/db/declared_schema.h"

namespace {

using k = column_kind;

column_decl id(const char* name, unsigned terminal = 0) {
  return {.name = name, .kind = k::integer, .required = true, .key = true, .terminal = terminal};
}
column_decl integer(const char* name, unsigned terminal = 0) {
  return {.name = name, .kind = k::integer, .terminal = terminal};
}
column_decl text(const char* name, int length, unsigned terminal = 0) {
  return {.name = name, .kind = k::text, .size = length, .terminal = terminal};
}
column_decl decimal_col(const char* name, int precision, int scale, unsigned terminal = 0) {
  return {.name = name, .kind = k::decimal, .size = precision, .scale = scale, .terminal = terminal};
}

// The member register: the maintenance and view grids insert and delete rows; they and the member
// form change every column but lastupdated (stamped by the database) and siteid (never editable);
// the redemption lowers integral.
constexpr unsigned edit = may_insert | may_update;

table_decl member_table() {
  return {
      .name = "t_member",
      .columns = {id("memberid", edit), text("membername", 60, edit), text("memberaddr", 60, edit),
                  text("contactphone", 20, edit),
                  {.name = "lastupdated",
                   .kind = k::datetime,
                   .default_value = {"(datetime('now', 'localtime'))", "LOCALTIMESTAMP(0)"}},
                  text("memberno", 20, edit), decimal_col("amountconsumed", 14, 2, edit),
                  integer("levelid", edit), integer("integral", edit), integer("age", edit),
                  text("sex", 4, edit), integer("siteid", may_insert), text("ail", 40, edit),
                  text("usercard", 18, edit), text("company", 40, edit), text("notes", 100, edit),
                  integer("medcard", edit), integer("available", edit), integer("adddate", edit),
                  text("code", 20, edit), integer("birthday", edit), text("mobile", 11, edit),
                  text("marry", 10, edit), text("jones", 100, edit), text("medical", 100, edit)},
      .terminal = may_select | may_delete,
  };
}

const schema_decl& member_schema_decl() {
  static const schema_decl s = [] {
    schema_decl d;
    d.module = "member";
    d.version = 3;
    d.terminal_role = terminal_role;
    d.tables = {
        {.name = "t_member_level",
         .columns = {id("levelid"), text("levelname", 60)},
         .terminal = may_select},
        member_table(),
        {.name = "t_sys_param",
         .columns = {{.name = "paramname", .kind = k::text, .size = 40, .required = true, .key = true},
                     {.name = "currentvalue", .kind = k::decimal}},
         .terminal = may_select},
        // The award method dialog saves its grid. An award's points are never negative: a
        // negative award would raise a member's points.
        {.name = "t_member_award_method",
         .columns = {id("methodid"), text("mdname", 60),
                     {.name = "mdintegral", .check = "mdintegral >= 0", .check_since = 3},
                     text("notes", 100)},
         .terminal = may_select | may_insert | may_update | may_delete},
        // A redemption inserts its record and queue entry; the record report reads the records.
        // Neither is ever changed or removed by a terminal. redeemkey is the identity the
        // terminal chose for the redemption before its first attempt: unique, so that a retry
        // after an unknown outcome cannot store it twice; null in records of older terminals.
        {.name = "t_member_award_record",
         .columns = {id("seqid"), integer("memberid"), text("mdname", 60), integer("mdintegral"),
                     text("notes", 100), integer("timevalidated"),
                     {.name = "redeemkey", .unique = true, .since = 3}},
         .terminal = may_select | may_insert},
        {.name = "t_member_award_to_up", .columns = {id("seqid")}, .terminal = may_insert},
        // Named sequences (f_get_next_sequence): the last number handed out. PostgreSQL has
        // sequences of its own.
        {.name = "t_sequence",
         .columns = {{.name = "seqname", .kind = k::text, .size = 60, .required = true, .key = true},
                     {.name = "lastvalue", .kind = k::integer, .required = true}},
         .only_on_sqlite = true},
        {.name = "t_article",
         .columns = {id("articleid"), text("udfcode", 20), text("name", 60), text("spec", 60),
                     text("manufacturer", 40), text("unit", 10), decimal_col("price", 14, 4),
                     text("barcode", 20), integer("memberdiscount")},
         .terminal = may_select},
        // One row per (levelid, articleid). SQLite stores it in article order with the price in
        // the key's b-tree: the price query finds each of an article's level prices with one
        // seek, reading no second table. PostgreSQL reads them from a covering index.
        {.name = "t_article_member_level_price",
         .columns = {{.name = "levelid", .required = true},
                     {.name = "articleid", .required = true},
                     decimal_col("price", 14, 4)},
         .constraints = {"PRIMARY KEY (articleid, levelid)", "UNIQUE (levelid, articleid)"},
         .sqlite_without_rowid = true,
         .terminal = may_select,
         .layout_since = 2},
        {.name = "t_bill_header",
         .columns = {{.name = "billno", .kind = k::text, .size = 20, .required = true, .key = true},
                     integer("memberid"),
                     {.name = "billdate", .kind = k::datetime},
                     decimal_col("amount", 14, 2)},
         .terminal = may_select},
    };
    d.objects = {
        {{"CREATE INDEX IF NOT EXISTS ix_member_memberno ON t_member (memberno)",
          "CREATE INDEX IF NOT EXISTS ix_member_memberno ON t_member (memberno varchar_pattern_ops)"}},
        {{"CREATE INDEX IF NOT EXISTS ix_member_membername ON t_member (membername)",
          "CREATE INDEX IF NOT EXISTS ix_member_membername ON t_member (membername "
          "varchar_pattern_ops)"}},
        {{"CREATE INDEX IF NOT EXISTS ix_member_memberid_text ON t_member (CAST(memberid AS "
          "VARCHAR(20)))",
          "CREATE INDEX IF NOT EXISTS ix_member_memberid_text ON t_member ((CAST(memberid AS "
          "VARCHAR(20))))"}},
        {{"CREATE INDEX IF NOT EXISTS ix_member_siteid ON t_member (siteid)"}},
        // A change of the row that leaves lastupdated alone stamps it with the station's time.
        {{R"(CREATE TRIGGER IF NOT EXISTS tr_member_lastupdated AFTER UPDATE ON t_member FOR EACH ROW
  WHEN NEW.lastupdated IS OLD.lastupdated
BEGIN
  UPDATE t_member SET lastupdated = datetime('now', 'localtime') WHERE memberid = NEW.memberid;
END)",
          R"(CREATE OR REPLACE FUNCTION f_member_lastupdated() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  IF NEW.lastupdated IS NOT DISTINCT FROM OLD.lastupdated THEN
    NEW.lastupdated := LOCALTIMESTAMP(0);
  END IF;
  RETURN NEW;
END
$$)"}},
        {{"", "DROP TRIGGER IF EXISTS tr_member_lastupdated ON t_member"}},
        {{"", R"(CREATE TRIGGER tr_member_lastupdated BEFORE UPDATE ON t_member FOR EACH ROW
  EXECUTE FUNCTION f_member_lastupdated())"}},
        {{"CREATE INDEX IF NOT EXISTS ix_award_record_timevalidated ON t_member_award_record "
          "(timevalidated)"}},
        {{"CREATE INDEX IF NOT EXISTS ix_award_record_memberid ON t_member_award_record (memberid)"}},
        // Serial numbers of redemptions (f_get_next_sequence("t_member_award")).
        {{"", "CREATE SEQUENCE IF NOT EXISTS t_member_award_seq MINVALUE 1 START WITH 1"}},
        // The price query reads each article's level prices here: article first, price included.
        {{"", "CREATE INDEX IF NOT EXISTS ix_level_price_article ON t_article_member_level_price "
              "(articleid, levelid, price)"}},
        {{"CREATE INDEX IF NOT EXISTS ix_bill_header_memberid ON t_bill_header (memberid)"}},
    };
    // The terminals' group role and its rights beyond the tables': login roles of the shop's
    // terminals are made members of it by the administrator.
    d.postgres_role_setup = {
        R"(DO $$ BEGIN
  IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'member_terminal') THEN
    CREATE ROLE member_terminal NOLOGIN;
  END IF;
EXCEPTION WHEN duplicate_object OR unique_violation THEN
  NULL;  -- another administrator's set-up made it meanwhile
END $$)",
        R"(DO $$ BEGIN
  EXECUTE format('GRANT USAGE ON SCHEMA %I TO member_terminal', current_schema());
END $$)",
        // What every role has by default and a terminal must not: connecting to the shop
        // database and making temporary tables there (terminals connect through their group role
        // instead), creating objects in public (clusters from before PostgreSQL 15 still grant
        // it, and a terminal could create the whole schema and own it), and creating large
        // objects.
        R"(DO $$ BEGIN
  EXECUTE format('REVOKE CONNECT, TEMPORARY ON DATABASE %I FROM PUBLIC', current_database());
  EXECUTE format('GRANT CONNECT ON DATABASE %I TO member_terminal', current_database());
  IF EXISTS (SELECT 1 FROM pg_namespace WHERE nspname = 'public') THEN
    REVOKE CREATE ON SCHEMA public FROM PUBLIC;
  END IF;
END $$)",
        "REVOKE EXECUTE ON FUNCTION lo_creat(integer), lo_create(oid), lo_from_bytea(oid, bytea) "
        "FROM PUBLIC",
        "REVOKE ALL ON SEQUENCE t_member_award_seq FROM member_terminal",
        "GRANT USAGE ON SEQUENCE t_member_award_seq TO member_terminal",
    };
    // Before versions were stored: SQLite's level prices tell 1.0.0 (without a rowid) from the
    // layout before it; on PostgreSQL the two are the same.
    d.unversioned_layout = [](uo_transaction& tr) {
      if (tr.kind() == backend::postgres) return 2;
      std::vector<value> into;
      if (tr.select_into("SELECT COUNT(*) FROM sqlite_master WHERE name = "
                         "'t_article_member_level_price' AND sql LIKE '%WITHOUT ROWID%'",
                         {}, into) != 0)
        return -1;
      return !into.empty() && into[0].is_long() && into[0].as_long() > 0 ? 2 : 1;
    };
    return d;
  }();
  return s;
}

}  // namespace

const schema_decl& member_schema() { return member_schema_decl(); }

std::vector<std::string> schema_statements(backend kind) {
  return create_statements(member_schema(), kind);
}

int create_schema(uo_transaction& tr, const upgrade_observer& observe) {
  return upgrade_schema(member_schema(), tr, observe);
}

int member_schema_version(uo_transaction& tr) { return stored_version(member_schema(), tr); }

int drop_schema(uo_transaction& tr) {
  std::vector<std::string> statements;
  const auto& tables = member_schema().tables;
  for (auto t = tables.rbegin(); t != tables.rend(); ++t)
    statements.push_back("DROP TABLE IF EXISTS " + t->name);
  statements.push_back("DROP TABLE IF EXISTS t_schema_version");
  if (tr.kind() == backend::postgres) {
    statements.push_back("DROP SEQUENCE IF EXISTS t_member_award_seq");
    statements.push_back("DROP FUNCTION IF EXISTS f_member_lastupdated()");
  }
  return run_statements(tr, statements);
}

bool schema_exists(uo_transaction& tr) { return member_schema_version(tr) > 0; }
