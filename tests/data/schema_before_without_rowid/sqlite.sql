-- Tables, indexes and sequences of the member module (sqlite).
-- Written at build time from the statements the module runs itself on a new database.

CREATE TABLE IF NOT EXISTS t_member_level (
  levelid BIGINT NOT NULL PRIMARY KEY,
  levelname VARCHAR(60));

CREATE TABLE IF NOT EXISTS t_member (
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
  medical VARCHAR(100));

CREATE INDEX IF NOT EXISTS ix_member_memberno ON t_member (memberno);

CREATE INDEX IF NOT EXISTS ix_member_membername ON t_member (membername);

CREATE INDEX IF NOT EXISTS ix_member_memberid_text ON t_member (CAST(memberid AS VARCHAR(20)));

CREATE INDEX IF NOT EXISTS ix_member_siteid ON t_member (siteid);

CREATE TRIGGER IF NOT EXISTS tr_member_lastupdated AFTER UPDATE ON t_member FOR EACH ROW
  WHEN NEW.lastupdated IS OLD.lastupdated
BEGIN
  UPDATE t_member SET lastupdated = datetime('now', 'localtime') WHERE memberid = NEW.memberid;
END;

CREATE TABLE IF NOT EXISTS t_sys_param (
  paramname VARCHAR(40) NOT NULL PRIMARY KEY,
  currentvalue REAL);

CREATE TABLE IF NOT EXISTS t_member_award_method (
  methodid BIGINT NOT NULL PRIMARY KEY,
  mdname VARCHAR(60),
  mdintegral BIGINT,
  notes VARCHAR(100));

CREATE TABLE IF NOT EXISTS t_member_award_record (
  seqid BIGINT NOT NULL PRIMARY KEY,
  memberid BIGINT,
  mdname VARCHAR(60),
  mdintegral BIGINT,
  notes VARCHAR(100),
  timevalidated BIGINT);

CREATE INDEX IF NOT EXISTS ix_award_record_timevalidated ON t_member_award_record (timevalidated);

CREATE INDEX IF NOT EXISTS ix_award_record_memberid ON t_member_award_record (memberid);

CREATE TABLE IF NOT EXISTS t_member_award_to_up (
  seqid BIGINT NOT NULL PRIMARY KEY);

CREATE TABLE IF NOT EXISTS t_sequence (
  seqname VARCHAR(60) NOT NULL PRIMARY KEY,
  lastvalue BIGINT NOT NULL);

CREATE TABLE IF NOT EXISTS t_article (
  articleid BIGINT NOT NULL PRIMARY KEY,
  udfcode VARCHAR(20),
  name VARCHAR(60),
  spec VARCHAR(60),
  manufacturer VARCHAR(40),
  unit VARCHAR(10),
  price REAL(14,4),
  barcode VARCHAR(20),
  memberdiscount BIGINT);

CREATE TABLE IF NOT EXISTS t_article_member_level_price (
  levelid BIGINT NOT NULL,
  articleid BIGINT NOT NULL,
  price REAL(14,4),
  UNIQUE (levelid, articleid));

CREATE TABLE IF NOT EXISTS t_bill_header (
  billno VARCHAR(20) NOT NULL PRIMARY KEY,
  memberid BIGINT,
  billdate DATETIME,
  amount REAL(14,2));

CREATE INDEX IF NOT EXISTS ix_level_price_article ON t_article_member_level_price (articleid, levelid, price);

CREATE INDEX IF NOT EXISTS ix_bill_header_memberid ON t_bill_header (memberid);

