// DDL of the member module for SQLite and PostgreSQL.
//
// Types: longs are BIGINT; texts VARCHAR(n) (never CHAR(n), which PostgreSQL pads with blanks);
// decimals NUMERIC(p,s) in PostgreSQL and REAL(p,s) in SQLite, so that SQLite divides them as
// numbers (amountconsumed / currentvalue) and the connection reads them back rounded to the
// declared scale; datetimes TIMESTAMP(0) in PostgreSQL and DATETIME (text 'YYYY-MM-DD HH:MM:SS')
// in SQLite. Keys are NOT NULL on SQLite too, which would otherwise let a null key in.
//
// An award's points are never negative: a negative award would raise a member's points.
//
// Indexes: memberno and membername serve prefix LIKE (PostgreSQL: varchar_pattern_ops; SQLite:
// the binary index with case-sensitive LIKE), and the choose-member dialog compares
// CAST(memberid AS VARCHAR(20)) with the search text, which an expression index serves.
//
// A redemption record's redeemkey is the identity the terminal chose for the redemption before
// its first attempt: unique, so that a retry after an unknown outcome cannot store it twice; null
// in records of older terminals.
#include "data/schema.h"

#include <string>
#include <vector>

namespace {

const std::vector<const char*> sqlite_ddl = {
    R"(CREATE TABLE IF NOT EXISTS t_member_level (
  levelid BIGINT NOT NULL PRIMARY KEY,
  levelname VARCHAR(60)))",
    R"(CREATE TABLE IF NOT EXISTS t_member (
  memberid BIGINT NOT NULL PRIMARY KEY,
  membername VARCHAR(60),
  memberaddr VARCHAR(60),
  contactphone VARCHAR(20),
  lastupdated DATETIME DEFAULT (datetime('now', 'localtime')),
  memberno VARCHAR(20),
  amountconsumed REAL(14,2),
  levelid BIGINT,
  integral BIGINT,
  age BIGINT,
  sex VARCHAR(4),
  siteid BIGINT,
  ail VARCHAR(40),
  usercard VARCHAR(18),
  company VARCHAR(40),
  notes VARCHAR(100),
  medcard BIGINT,
  available BIGINT,
  adddate BIGINT,
  code VARCHAR(20),
  birthday BIGINT,
  mobile VARCHAR(11),
  marry VARCHAR(10),
  jones VARCHAR(100),
  medical VARCHAR(100)))",
    "CREATE INDEX IF NOT EXISTS ix_member_memberno ON t_member (memberno)",
    "CREATE INDEX IF NOT EXISTS ix_member_membername ON t_member (membername)",
    "CREATE INDEX IF NOT EXISTS ix_member_memberid_text ON t_member (CAST(memberid AS VARCHAR(20)))",
    "CREATE INDEX IF NOT EXISTS ix_member_siteid ON t_member (siteid)",
    // A change of the row that leaves lastupdated alone stamps it with the station's time.
    R"(CREATE TRIGGER IF NOT EXISTS tr_member_lastupdated AFTER UPDATE ON t_member FOR EACH ROW
  WHEN NEW.lastupdated IS OLD.lastupdated
BEGIN
  UPDATE t_member SET lastupdated = datetime('now', 'localtime') WHERE memberid = NEW.memberid;
END)",
    R"(CREATE TABLE IF NOT EXISTS t_sys_param (
  paramname VARCHAR(40) NOT NULL PRIMARY KEY,
  currentvalue REAL))",
    R"(CREATE TABLE IF NOT EXISTS t_member_award_method (
  methodid BIGINT NOT NULL PRIMARY KEY,
  mdname VARCHAR(60),
  mdintegral BIGINT CHECK (mdintegral >= 0),
  notes VARCHAR(100)))",
    R"(CREATE TABLE IF NOT EXISTS t_member_award_record (
  seqid BIGINT NOT NULL PRIMARY KEY,
  memberid BIGINT,
  mdname VARCHAR(60),
  mdintegral BIGINT,
  notes VARCHAR(100),
  timevalidated BIGINT,
  redeemkey BIGINT UNIQUE))",
    "CREATE INDEX IF NOT EXISTS ix_award_record_timevalidated ON t_member_award_record (timevalidated)",
    "CREATE INDEX IF NOT EXISTS ix_award_record_memberid ON t_member_award_record (memberid)",
    R"(CREATE TABLE IF NOT EXISTS t_member_award_to_up (
  seqid BIGINT NOT NULL PRIMARY KEY))",
    // Named sequences (f_get_next_sequence): the last number handed out.
    R"(CREATE TABLE IF NOT EXISTS t_sequence (
  seqname VARCHAR(60) NOT NULL PRIMARY KEY,
  lastvalue BIGINT NOT NULL))",
    R"(CREATE TABLE IF NOT EXISTS t_article (
  articleid BIGINT NOT NULL PRIMARY KEY,
  udfcode VARCHAR(20),
  name VARCHAR(60),
  spec VARCHAR(60),
  manufacturer VARCHAR(40),
  unit VARCHAR(10),
  price REAL(14,4),
  barcode VARCHAR(20),
  memberdiscount BIGINT))",
    // One row per (levelid, articleid), stored in article order with the price in the key's
    // b-tree: the price query finds each of an article's level prices with one seek, reading no
    // second table.
    R"(CREATE TABLE IF NOT EXISTS t_article_member_level_price (
  levelid BIGINT NOT NULL,
  articleid BIGINT NOT NULL,
  price REAL(14,4),
  PRIMARY KEY (articleid, levelid)) WITHOUT ROWID)",
    R"(CREATE TABLE IF NOT EXISTS t_bill_header (
  billno VARCHAR(20) NOT NULL PRIMARY KEY,
  memberid BIGINT,
  billdate DATETIME,
  amount REAL(14,2)))",
    "CREATE INDEX IF NOT EXISTS ix_bill_header_memberid ON t_bill_header (memberid)",
};

const std::vector<const char*> postgres_ddl = {
    R"(CREATE TABLE IF NOT EXISTS t_member_level (
  levelid BIGINT PRIMARY KEY,
  levelname VARCHAR(60)))",
    R"(CREATE TABLE IF NOT EXISTS t_member (
  memberid BIGINT PRIMARY KEY,
  membername VARCHAR(60),
  memberaddr VARCHAR(60),
  contactphone VARCHAR(20),
  lastupdated TIMESTAMP(0) DEFAULT LOCALTIMESTAMP(0),
  memberno VARCHAR(20),
  amountconsumed NUMERIC(14,2),
  levelid BIGINT,
  integral BIGINT,
  age BIGINT,
  sex VARCHAR(4),
  siteid BIGINT,
  ail VARCHAR(40),
  usercard VARCHAR(18),
  company VARCHAR(40),
  notes VARCHAR(100),
  medcard BIGINT,
  available BIGINT,
  adddate BIGINT,
  code VARCHAR(20),
  birthday BIGINT,
  mobile VARCHAR(11),
  marry VARCHAR(10),
  jones VARCHAR(100),
  medical VARCHAR(100)))",
    "CREATE INDEX IF NOT EXISTS ix_member_memberno ON t_member (memberno varchar_pattern_ops)",
    "CREATE INDEX IF NOT EXISTS ix_member_membername ON t_member (membername varchar_pattern_ops)",
    "CREATE INDEX IF NOT EXISTS ix_member_memberid_text ON t_member ((CAST(memberid AS VARCHAR(20))))",
    "CREATE INDEX IF NOT EXISTS ix_member_siteid ON t_member (siteid)",
    R"(CREATE OR REPLACE FUNCTION f_member_lastupdated() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  IF NEW.lastupdated IS NOT DISTINCT FROM OLD.lastupdated THEN
    NEW.lastupdated := LOCALTIMESTAMP(0);
  END IF;
  RETURN NEW;
END
$$)",
    "DROP TRIGGER IF EXISTS tr_member_lastupdated ON t_member",
    R"(CREATE TRIGGER tr_member_lastupdated BEFORE UPDATE ON t_member FOR EACH ROW
  EXECUTE FUNCTION f_member_lastupdated())",
    R"(CREATE TABLE IF NOT EXISTS t_sys_param (
  paramname VARCHAR(40) PRIMARY KEY,
  currentvalue NUMERIC))",
    R"(CREATE TABLE IF NOT EXISTS t_member_award_method (
  methodid BIGINT PRIMARY KEY,
  mdname VARCHAR(60),
  mdintegral BIGINT CHECK (mdintegral >= 0),
  notes VARCHAR(100)))",
    R"(CREATE TABLE IF NOT EXISTS t_member_award_record (
  seqid BIGINT PRIMARY KEY,
  memberid BIGINT,
  mdname VARCHAR(60),
  mdintegral BIGINT,
  notes VARCHAR(100),
  timevalidated BIGINT,
  redeemkey BIGINT UNIQUE))",
    "CREATE INDEX IF NOT EXISTS ix_award_record_timevalidated ON t_member_award_record (timevalidated)",
    "CREATE INDEX IF NOT EXISTS ix_award_record_memberid ON t_member_award_record (memberid)",
    R"(CREATE TABLE IF NOT EXISTS t_member_award_to_up (
  seqid BIGINT PRIMARY KEY))",
    // Serial numbers of redemptions (f_get_next_sequence("t_member_award")).
    "CREATE SEQUENCE IF NOT EXISTS t_member_award_seq MINVALUE 1 START WITH 1",
    R"(CREATE TABLE IF NOT EXISTS t_article (
  articleid BIGINT PRIMARY KEY,
  udfcode VARCHAR(20),
  name VARCHAR(60),
  spec VARCHAR(60),
  manufacturer VARCHAR(40),
  unit VARCHAR(10),
  price NUMERIC(14,4),
  barcode VARCHAR(20),
  memberdiscount BIGINT))",
    R"(CREATE TABLE IF NOT EXISTS t_article_member_level_price (
  levelid BIGINT NOT NULL,
  articleid BIGINT NOT NULL,
  price NUMERIC(14,4),
  UNIQUE (levelid, articleid)))",
    R"(CREATE TABLE IF NOT EXISTS t_bill_header (
  billno VARCHAR(20) PRIMARY KEY,
  memberid BIGINT,
  billdate TIMESTAMP(0),
  amount NUMERIC(14,2)))",
    // The price query reads each article's level prices here: article first, price included.
    "CREATE INDEX IF NOT EXISTS ix_level_price_article ON t_article_member_level_price "
    "(articleid, levelid, price)",
    "CREATE INDEX IF NOT EXISTS ix_bill_header_memberid ON t_bill_header (memberid)",
};

// The terminals' group role and its rights: reading what the windows read, writing only where a
// window writes, no DDL. Login roles of the shop's terminals are made members of it by the
// administrator. The rights are revoked first, so that running this again leaves exactly these.
const std::vector<const char*> postgres_terminal_rights = {
    // Two administrators' set-ups at once would change the same catalog rows (the database's and
    // the role's rights) and one would fail with "tuple concurrently updated": they take turns.
    "SELECT pg_advisory_xact_lock(7361402)",
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
    // What every role has by default and a terminal must not: connecting to the shop database
    // and making temporary tables there (terminals connect through their group role instead),
    // creating objects in public (clusters from before PostgreSQL 15 still grant it, and a
    // terminal could create the whole schema and own it), and creating large objects.
    R"(DO $$ BEGIN
  EXECUTE format('REVOKE CONNECT, TEMPORARY ON DATABASE %I FROM PUBLIC', current_database());
  EXECUTE format('GRANT CONNECT ON DATABASE %I TO member_terminal', current_database());
  IF EXISTS (SELECT 1 FROM pg_namespace WHERE nspname = 'public') THEN
    REVOKE CREATE ON SCHEMA public FROM PUBLIC;
  END IF;
END $$)",
    "REVOKE EXECUTE ON FUNCTION lo_creat(integer), lo_create(oid), lo_from_bytea(oid, bytea) "
    "FROM PUBLIC",
    "REVOKE ALL ON t_member, t_member_level, t_sys_param, t_member_award_method, "
    "t_member_award_record, t_member_award_to_up, t_article, t_article_member_level_price, "
    "t_bill_header FROM member_terminal",
    "REVOKE ALL ON SEQUENCE t_member_award_seq FROM member_terminal",
    // Read only: levels, switches, articles and their prices, bills.
    "GRANT SELECT ON t_member_level, t_sys_param, t_article, t_article_member_level_price, "
    "t_bill_header TO member_terminal",
    // The member register: the maintenance and view grids insert and delete rows; they and the
    // member form change every column but lastupdated (stamped by the database) and siteid
    // (never editable); the redemption lowers integral.
    "GRANT SELECT, DELETE ON t_member TO member_terminal",
    "GRANT INSERT (memberid, membername, memberaddr, contactphone, memberno, amountconsumed, "
    "levelid, integral, age, sex, siteid, ail, usercard, company, notes, medcard, available, "
    "adddate, code, birthday, mobile, marry, jones, medical) ON t_member TO member_terminal",
    "GRANT UPDATE (memberid, membername, memberaddr, contactphone, memberno, amountconsumed, "
    "levelid, integral, age, sex, ail, usercard, company, notes, medcard, available, adddate, "
    "code, birthday, mobile, marry, jones, medical) ON t_member TO member_terminal",
    // The award method dialog saves its grid.
    "GRANT SELECT, INSERT, UPDATE, DELETE ON t_member_award_method TO member_terminal",
    // A redemption inserts its record and queue entry with a number of the sequence; the record
    // report reads the records. Neither is ever changed or removed by a terminal.
    "GRANT SELECT, INSERT ON t_member_award_record TO member_terminal",
    "GRANT INSERT ON t_member_award_to_up TO member_terminal",
    "GRANT USAGE ON SEQUENCE t_member_award_seq TO member_terminal",
};

const std::vector<const char*> tables = {
    "t_bill_header", "t_article_member_level_price", "t_article", "t_member_award_to_up",
    "t_member_award_record", "t_member_award_method", "t_sys_param", "t_member", "t_member_level"};

// Runs the statements as one unit; on failure rolls back and names the statement.
int run_unit(uo_transaction& tr, const std::vector<std::string>& statements) {
  if (tr.begin() != 0) return -1;
  for (const std::string& sql : statements) {
    if (tr.execute(sql) < 0) {
      std::string why = tr.sqlerrtext;
      long code = tr.sqlcode, dbcode = tr.sqldbcode;
      tr.rollback();
      std::string head = sql.substr(0, sql.find('\n'));
      tr.sqlcode = code;
      tr.sqldbcode = dbcode;
      tr.sqlerrtext = "schema statement failed: " + head + ": " + why;
      return -1;
    }
  }
  return tr.commit() == 0 ? 0 : -1;
}

}  // namespace

std::vector<std::string> schema_statements(backend kind) {
  const auto& ddl = kind == backend::postgres ? postgres_ddl : sqlite_ddl;
  std::vector<std::string> statements(ddl.begin(), ddl.end());
  if (kind == backend::postgres)
    statements.insert(statements.end(), postgres_terminal_rights.begin(), postgres_terminal_rights.end());
  return statements;
}

int create_schema(uo_transaction& tr) { return run_unit(tr, schema_statements(tr.kind())); }

int drop_schema(uo_transaction& tr) {
  std::vector<std::string> statements;
  for (const char* t : tables) statements.push_back(std::string("DROP TABLE IF EXISTS ") + t);
  if (tr.kind() == backend::postgres) {
    statements.push_back("DROP SEQUENCE IF EXISTS t_member_award_seq");
    statements.push_back("DROP FUNCTION IF EXISTS f_member_lastupdated()");
  } else {
    statements.push_back("DROP TABLE IF EXISTS t_sequence");
  }
  return run_unit(tr, statements);
}

bool schema_exists(uo_transaction& tr) {
  std::vector<value> into;
  const char* sql = tr.kind() == backend::postgres
                        ? "SELECT COUNT(*) FROM information_schema.tables "
                          "WHERE table_schema = current_schema() AND table_name = 't_member'"
                        : "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = 't_member'";
  return tr.select_into(sql, {}, into) == 0 && !into.empty() && into[0].is_long() && into[0].as_long() > 0;
}
