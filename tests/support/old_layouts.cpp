// Databases laid out by earlier releases.
#include "support/old_layouts.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "support/test_db.h"

namespace {

// Each old table with its columns in key order, as 1.0.0 has them.
const std::vector<std::pair<const char*, const char*>> old_tables = {
    {"t_member_level", "levelid, levelname"},
    {"t_member",
     "memberid, membername, memberaddr, contactphone, lastupdated, memberno, amountconsumed, "
     "levelid, integral, age, sex, siteid, ail, usercard, company, notes, medcard, available, "
     "adddate, code, birthday, mobile, marry, jones, medical"},
    {"t_sys_param", "paramname, currentvalue"},
    {"t_member_award_method", "methodid, mdname, mdintegral, notes"},
    {"t_member_award_record", "seqid, memberid, mdname, mdintegral, notes, timevalidated"},
    {"t_member_award_to_up", "seqid"},
    {"t_article", "articleid, udfcode, name, spec, manufacturer, unit, price, barcode, memberdiscount"},
    {"t_article_member_level_price", "articleid, levelid, price"},
    {"t_bill_header", "billno, memberid, billdate, amount"},
};

const char* const old_rows[] = {
    "INSERT INTO t_member_level VALUES (1, '普通会员'), (2, '银卡会员'), (3, NULL)",
    "INSERT INTO t_member (memberid, membername, memberaddr, contactphone, lastupdated, memberno, "
    "amountconsumed, levelid, integral, age, sex, siteid, ail, usercard, company, notes, medcard, "
    "available, adddate, code, birthday, mobile, marry, jones, medical) VALUES "
    "(1, '王芳', '杭州市西湖区文三路1号', '057112345678', '2025-03-01 09:30:00', '000001', "
    "123456789012.34, 1, 3000, 45, '女', 1, '高血压', '330106198001011234', '浙江大学', '老顾客', "
    "1, 0, 20050101, 'C123456', 19800101, '13912345678', '已婚', '读书', '无'), "
    "(9007199254740993, '李强', NULL, NULL, '2025-03-02 18:00:00', '9007199254740993', 0.01, 2, 0, "
    "NULL, '男', 2, NULL, NULL, NULL, NULL, 0, NULL, 20240229, NULL, 20000230, NULL, '未婚', NULL, "
    "NULL)",
    "INSERT INTO t_sys_param VALUES ('MEMBER_SITE', 1), ('MEMBER_RATE', 10), ('MEMBER_MODIFY', 0)",
    "INSERT INTO t_member_award_method VALUES (1, '会员生日贺卡', 0, '生日当月领取'), "
    "(2, '精美雨伞', 150, NULL)",
    "INSERT INTO t_member_award_record VALUES (1, 1, '精美雨伞', 150, NULL, 20251201), "
    "(2, 9007199254740993, '会员生日贺卡', 0, '生日当月领取', 20251231)",
    "INSERT INTO t_member_award_to_up VALUES (2)",
    "INSERT INTO t_article VALUES (1, 'YP000001', '阿莫西林胶囊', '0.25g*24粒', '哈药集团制药总厂(哈尔滨)', "
    "'盒', 12.3456, '6901234567892', 1), (2, 'YP000002', '创可贴', NULL, NULL, '盒', NULL, NULL, 0)",
    "INSERT INTO t_article_member_level_price VALUES (1, 1, 11.7283), (2, 1, 11.1110), (1, 2, NULL)",
    "INSERT INTO t_bill_header VALUES ('B000000001', 1, '2025-01-05 08:00:00', 999999999999.99), "
    "('B000000002', 9007199254740993, NULL, 0.50)",
};

std::string read_file(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The rows of a query as text, one line each.
std::string dump(uo_transaction& tr, const std::string& sql) {
  row_collector rows;
  if (tr.query(sql, {}, rows) < 0) return "failed: " + sql + ": " + tr.sqlerrtext + "\n";
  std::string out;
  for (const auto& row : rows.rows) {
    for (const value& v : row) out += (v.is_null() ? "null" : v.to_text()) + "|";
    out += "\n";
  }
  return out;
}

// Runs the statements and commits them; false with the failing one in error, rolled back.
bool run_all(uo_transaction& tr, const std::vector<std::string>& statements, std::string& error) {
  for (const std::string& sql : statements)
    if (tr.execute(sql) < 0) {
      error = sql + ": " + tr.sqlerrtext;
      tr.rollback();
      return false;
    }
  return tr.commit() == 0;
}

// The SQLite layout with t_article_member_level_price as a rowid table; "" when the table is not
// declared as expected.
std::string with_rowid_level_price(std::string sql) {
  const std::string key = "  PRIMARY KEY (articleid, levelid)) WITHOUT ROWID;\n\n";
  const size_t at = sql.find(key);
  if (at == std::string::npos) return "";
  sql.replace(at, key.size(), "  UNIQUE (levelid, articleid));\n\n");
  return sql +
         "CREATE INDEX IF NOT EXISTS ix_level_price_article ON t_article_member_level_price "
         "(articleid, levelid, price);\n\n";
}

}  // namespace

bool load_old_layout(uo_transaction& tr, const old_layout& layout, std::string& error) {
  const std::string file = std::string(MEMBER_TEST_DATA) + "/" + layout.dir + "/" +
                           (tr.kind() == backend::postgres ? "postgresql.sql" : "sqlite.sql");
  error.clear();
  if (layout.level_price_with_rowid && tr.kind() != backend::sqlite) return false;
  std::string sql = read_file(file);
  if (layout.level_price_with_rowid) sql = with_rowid_level_price(std::move(sql));
  if (sql.empty()) {
    error = "cannot read " + file + (layout.level_price_with_rowid ? " as the rowid layout" : "");
    return false;
  }
  // Statements end with ";" and a blank line; the file starts with comment lines.
  std::vector<std::string> statements;
  for (size_t at = sql.find("\n\n") + 2; at < sql.size();) {
    const size_t end = sql.find(";\n\n", at);
    statements.push_back(sql.substr(at, end - at));
    at = end == std::string::npos ? sql.size() : end + 3;
  }
  return run_all(tr, statements, error);
}

bool fill_old_rows(uo_transaction& tr, std::string& error) {
  std::vector<std::string> statements(std::begin(old_rows), std::end(old_rows));
  statements.push_back(tr.kind() == backend::postgres
                           ? "SELECT setval('t_member_award_seq', 2)"
                           : "INSERT INTO t_sequence VALUES ('t_member_award', 2)");
  return run_all(tr, statements, error);
}

std::string dump_old_rows(uo_transaction& tr) {
  std::string out;
  for (const auto& [table, columns] : old_tables) {
    const std::string cols = columns;
    out += std::string(table) + ":\n" +
           dump(tr, "SELECT " + cols + " FROM " + table + " ORDER BY " + cols.substr(0, cols.find(',')) +
                        (std::string(table) == "t_article_member_level_price" ? ", levelid" : ""));
  }
  const char* sequence = tr.kind() == backend::postgres
                             ? "SELECT last_value FROM t_member_award_seq"
                             : "SELECT seqname, lastvalue FROM t_sequence";
  return out + "sequence:\n" + dump(tr, sequence);
}

std::string dump_catalog(uo_transaction& tr) {
  if (tr.kind() == backend::sqlite)
    // A table an upgrade renamed has its name quoted in its SQL; the layout is the same.
    return dump(tr, "SELECT type, name, tbl_name, replace(sql, '\"', '') FROM sqlite_master "
                "ORDER BY type, name");
  return dump(tr,
              "SELECT table_name, column_name, data_type, is_nullable, column_default "
              "FROM information_schema.columns WHERE table_schema = current_schema() "
              "ORDER BY table_name, column_name") +
         dump(tr,
              "SELECT conrelid::regclass::text, conname, pg_get_constraintdef(oid) FROM pg_constraint "
              "WHERE connamespace = current_schema()::regnamespace ORDER BY 1, 2") +
         dump(tr,
              "SELECT indexname, indexdef FROM pg_indexes WHERE schemaname = current_schema() "
              "ORDER BY 1") +
         dump(tr,
              "SELECT c.relname, t.tgname FROM pg_trigger t JOIN pg_class c ON c.oid = t.tgrelid "
              "WHERE NOT t.tgisinternal AND c.relnamespace = current_schema()::regnamespace "
              "ORDER BY 1, 2") +
         dump(tr,
              "SELECT table_name, privilege_type, grantee FROM information_schema.table_privileges "
              "WHERE table_schema = current_schema() ORDER BY 1, 2, 3") +
         dump(tr,
              "SELECT table_name, column_name, privilege_type FROM "
              "information_schema.column_privileges WHERE table_schema = current_schema() AND "
              "grantee = 'member_terminal' ORDER BY 1, 2, 3");
}
