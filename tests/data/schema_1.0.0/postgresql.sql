-- Tables, indexes and sequences of the member module (postgresql), the role member_terminal and its rights.
-- Written at build time from the statements the module runs itself on a new database.

CREATE TABLE IF NOT EXISTS t_member_level (
  levelid BIGINT PRIMARY KEY,
  levelname VARCHAR(60));

CREATE TABLE IF NOT EXISTS t_member (
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
  medical VARCHAR(100));

CREATE INDEX IF NOT EXISTS ix_member_memberno ON t_member (memberno varchar_pattern_ops);

CREATE INDEX IF NOT EXISTS ix_member_membername ON t_member (membername varchar_pattern_ops);

CREATE INDEX IF NOT EXISTS ix_member_memberid_text ON t_member ((CAST(memberid AS VARCHAR(20))));

CREATE INDEX IF NOT EXISTS ix_member_siteid ON t_member (siteid);

CREATE OR REPLACE FUNCTION f_member_lastupdated() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  IF NEW.lastupdated IS NOT DISTINCT FROM OLD.lastupdated THEN
    NEW.lastupdated := LOCALTIMESTAMP(0);
  END IF;
  RETURN NEW;
END
$$;

DROP TRIGGER IF EXISTS tr_member_lastupdated ON t_member;

CREATE TRIGGER tr_member_lastupdated BEFORE UPDATE ON t_member FOR EACH ROW
  EXECUTE FUNCTION f_member_lastupdated();

CREATE TABLE IF NOT EXISTS t_sys_param (
  paramname VARCHAR(40) PRIMARY KEY,
  currentvalue NUMERIC);

CREATE TABLE IF NOT EXISTS t_member_award_method (
  methodid BIGINT PRIMARY KEY,
  mdname VARCHAR(60),
  mdintegral BIGINT,
  notes VARCHAR(100));

CREATE TABLE IF NOT EXISTS t_member_award_record (
  seqid BIGINT PRIMARY KEY,
  memberid BIGINT,
  mdname VARCHAR(60),
  mdintegral BIGINT,
  notes VARCHAR(100),
  timevalidated BIGINT);

CREATE INDEX IF NOT EXISTS ix_award_record_timevalidated ON t_member_award_record (timevalidated);

CREATE INDEX IF NOT EXISTS ix_award_record_memberid ON t_member_award_record (memberid);

CREATE TABLE IF NOT EXISTS t_member_award_to_up (
  seqid BIGINT PRIMARY KEY);

CREATE SEQUENCE IF NOT EXISTS t_member_award_seq MINVALUE 1 START WITH 1;

CREATE TABLE IF NOT EXISTS t_article (
  articleid BIGINT PRIMARY KEY,
  udfcode VARCHAR(20),
  name VARCHAR(60),
  spec VARCHAR(60),
  manufacturer VARCHAR(40),
  unit VARCHAR(10),
  price NUMERIC(14,4),
  barcode VARCHAR(20),
  memberdiscount BIGINT);

CREATE TABLE IF NOT EXISTS t_article_member_level_price (
  levelid BIGINT NOT NULL,
  articleid BIGINT NOT NULL,
  price NUMERIC(14,4),
  UNIQUE (levelid, articleid));

CREATE TABLE IF NOT EXISTS t_bill_header (
  billno VARCHAR(20) PRIMARY KEY,
  memberid BIGINT,
  billdate TIMESTAMP(0),
  amount NUMERIC(14,2));

CREATE INDEX IF NOT EXISTS ix_level_price_article ON t_article_member_level_price (articleid, levelid, price);

CREATE INDEX IF NOT EXISTS ix_bill_header_memberid ON t_bill_header (memberid);

DO $$ BEGIN
  IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'member_terminal') THEN
    CREATE ROLE member_terminal NOLOGIN;
  END IF;
EXCEPTION WHEN duplicate_object OR unique_violation THEN
  NULL;  -- another administrator's set-up made it meanwhile
END $$;

DO $$ BEGIN
  EXECUTE format('GRANT USAGE ON SCHEMA %I TO member_terminal', current_schema());
END $$;

REVOKE ALL ON t_member, t_member_level, t_sys_param, t_member_award_method, t_member_award_record, t_member_award_to_up, t_article, t_article_member_level_price, t_bill_header FROM member_terminal;

REVOKE ALL ON SEQUENCE t_member_award_seq FROM member_terminal;

GRANT SELECT ON t_member_level, t_sys_param, t_article, t_article_member_level_price, t_bill_header TO member_terminal;

GRANT SELECT, DELETE ON t_member TO member_terminal;

GRANT INSERT (memberid, membername, memberaddr, contactphone, memberno, amountconsumed, levelid, integral, age, sex, siteid, ail, usercard, company, notes, medcard, available, adddate, code, birthday, mobile, marry, jones, medical) ON t_member TO member_terminal;

GRANT UPDATE (memberid, membername, memberaddr, contactphone, memberno, amountconsumed, levelid, integral, age, sex, ail, usercard, company, notes, medcard, available, adddate, code, birthday, mobile, marry, jones, medical) ON t_member TO member_terminal;

GRANT SELECT, INSERT, UPDATE, DELETE ON t_member_award_method TO member_terminal;

GRANT SELECT, INSERT ON t_member_award_record TO member_terminal;

GRANT INSERT ON t_member_award_to_up TO member_terminal;

GRANT USAGE ON SEQUENCE t_member_award_seq TO member_terminal;

