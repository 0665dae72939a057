// Deterministic demo data. Rows go in as multi-row INSERTs of a few hundred rows each, all in one
// transaction, so that a million members take seconds rather than minutes.
#include "data/demo_data.h"

#include <algorithm>

#include <array>
#include <string>
#include <vector>

#include "data/schema.h"

namespace {

// splitmix64: small, fast, and the same sequence on every platform.
class demo_random {
 public:
  explicit demo_random(uint64_t seed) : state_(seed) {}
  uint64_t next() {
    uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  int64_t between(int64_t lo, int64_t hi) { return lo + int64_t(next() % uint64_t(hi - lo + 1)); }
  bool percent(int p) { return int(next() % 100) < p; }
  template <class T, size_t N>
  const T& pick(const std::array<T, N>& a) { return a[next() % N]; }
  std::string digits(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += char('0' + next() % 10);
    return s;
  }

 private:
  uint64_t state_;
};

// Rows of one declared table, sent as "INSERT ... VALUES (...), (...), ..." with every value
// bound. A row gives the values of the first columns in declared order; the later ones (columns a
// newer layout added) are null.
class batch_insert {
 public:
  batch_insert(uo_transaction& tr, const char* table)
      : tr_(tr), table_(table), columns_(column_names(find_table(member_schema(), table))) {
    rows_per_batch_ = std::max<size_t>(1, std::min<size_t>(500, 10000 / columns_.size()));
    pending_.reserve(rows_per_batch_ * columns_.size());
  }
  // One row, its values in column order. False once a batch failed.
  bool add(std::initializer_list<value> row) {
    if (failed_) return false;
    pending_.insert(pending_.end(), row);
    pending_.insert(pending_.end(), columns_.size() - std::min(row.size(), columns_.size()), value());
    if (pending_.size() >= rows_per_batch_ * columns_.size()) flush();
    return !failed_;
  }
  bool flush() {
    if (failed_ || pending_.empty()) return !failed_;
    size_t rows = pending_.size() / columns_.size();
    if (rows == rows_per_batch_) {
      if (full_sql_.empty()) full_sql_ = sql_for(rows);
      failed_ = tr_.execute(full_sql_, pending_) < 0;
    } else {
      failed_ = tr_.execute(sql_for(rows), pending_) < 0;
    }
    pending_.clear();
    return !failed_;
  }

 private:
  std::string sql_for(size_t rows) const {
    std::string sql = "INSERT INTO " + table_ + " (";
    for (size_t c = 0; c < columns_.size(); ++c) sql += (c ? ", " : "") + columns_[c];
    sql += ") VALUES ";
    size_t n = 0;
    for (size_t r = 0; r < rows; ++r) {
      sql += r ? ", (" : "(";
      for (size_t c = 0; c < columns_.size(); ++c) sql += (c ? ", :v" : ":v") + std::to_string(n++);
      sql += ")";
    }
    return sql;
  }

  uo_transaction& tr_;
  std::string table_;
  std::vector<std::string> columns_;
  size_t rows_per_batch_;
  std::vector<value> pending_;
  std::string full_sql_;
  bool failed_ = false;
};

const std::array<const char*, 100> surnames = {
    "王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "徐", "孙", "马", "朱", "胡", "郭", "何",
    "高", "林", "罗", "郑", "梁", "谢", "宋", "唐", "许", "韩", "冯", "邓", "曹", "彭", "曾", "肖", "田",
    "董", "袁", "潘", "于", "蒋", "蔡", "余", "杜", "叶", "程", "苏", "魏", "吕", "丁", "任", "沈", "姚",
    "卢", "姜", "崔", "钟", "谭", "陆", "汪", "范", "金", "石", "廖", "贾", "夏", "韦", "付", "方", "白",
    "邹", "孟", "熊", "秦", "邱", "江", "尹", "薛", "闫", "段", "雷", "侯", "龙", "史", "陶", "黎", "贺",
    "顾", "毛", "郝", "龚", "邵", "万", "钱", "严", "覃", "武", "戴", "莫", "孔", "向", "汤"};
const std::array<const char*, 64> given = {
    "伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "军", "洋", "勇", "艳", "杰", "娟", "涛", "明",
    "超", "秀", "霞", "平", "刚", "桂", "英", "华", "玉", "兰", "萍", "红", "建", "文", "辉", "力",
    "梅", "鑫", "波", "斌", "宇", "浩", "凯", "健", "俊", "帆", "帅", "旭", "宁", "婷", "雪", "琳",
    "晨", "欣", "怡", "佳", "嘉", "子", "涵", "轩", "然", "博", "睿", "思", "源", "志", "国", "春"};
const std::array<const char*, 8> cities = {"杭州市", "宁波市", "温州市", "绍兴市",
                                           "嘉兴市", "湖州市", "金华市", "台州市"};
const std::array<const char*, 8> districts = {"西湖区", "上城区", "拱墅区", "滨江区",
                                              "萧山区", "余杭区", "临平区", "钱塘区"};
const std::array<const char*, 12> roads = {"文三路", "教工路", "解放路", "延安路", "中山北路", "凤起路",
                                           "庆春路", "天目山路", "学院路", "体育场路", "莫干山路", "江南大道"};
const std::array<const char*, 8> area_codes = {"0571", "0574", "0577", "0575", "0573", "0572", "0579", "0576"};
const std::array<const char*, 4> id_regions = {"330106", "330102", "330203", "330302"};
const std::array<const char*, 5> ails = {"高血压", "糖尿病", "慢性胃炎", "哮喘", "关节炎"};
const std::array<const char*, 8> companies = {"杭州娃哈哈集团", "浙江大学", "中国移动杭州分公司",
                                              "杭州市第一人民医院", "浙江省电力公司", "海康威视",
                                              "西湖区实验小学", "个体经营"};
const std::array<const char*, 3> member_notes = {"老顾客", "常购保健品", "需电话回访"};
const std::array<const char*, 8> hobbies = {"读书", "旅游", "太极拳", "摄影", "钓鱼", "书法", "广场舞", "游泳"};
const std::array<const char*, 3> allergies = {"无", "青霉素过敏", "磺胺类药物过敏"};

struct article_kind {
  const char* name;
  const char* spec;
  const char* unit;
};
const std::array<article_kind, 24> article_kinds = {{
    {"阿莫西林胶囊", "0.25g*24粒", "盒"},     {"板蓝根颗粒", "10g*20袋", "袋"},
    {"维生素C片", "100mg*100片", "瓶"},       {"感冒灵颗粒", "10g*9袋", "盒"},
    {"布洛芬缓释胶囊", "0.3g*20粒", "盒"},   {"复方丹参滴丸", "27mg*180丸", "瓶"},
    {"六味地黄丸", "200丸", "瓶"},            {"藿香正气水", "10ml*10支", "盒"},
    {"葡萄糖酸钙口服液", "10ml*12支", "盒"}, {"阿司匹林肠溶片", "100mg*30片", "盒"},
    {"头孢克肟分散片", "0.1g*6片", "盒"},     {"蒙脱石散", "3g*10袋", "盒"},
    {"健胃消食片", "0.8g*32片", "盒"},        {"云南白药气雾剂", "85g+30g", "瓶"},
    {"创可贴", "100片", "盒"},                {"医用外科口罩", "10只", "袋"},
    {"连花清瘟胶囊", "0.35g*24粒", "盒"},     {"氯雷他定片", "10mg*6片", "盒"},
    {"奥美拉唑肠溶胶囊", "20mg*14粒", "盒"}, {"双歧杆菌三联活菌胶囊", "210mg*24粒", "盒"},
    {"红霉素软膏", "10g", "支"},              {"速效救心丸", "40mg*150粒", "瓶"},
    {"金银花露", "340ml", "瓶"},              {"医用棉签", "50支", "包"},
}};
const std::array<const char*, 10> manufacturers = {
    "哈药集团制药总厂(哈尔滨)", "广州白云山制药(广州)", "华润三九医药(深圳)", "云南白药集团(昆明)",
    "北京同仁堂(北京)",       "修正药业(长春)",       "扬子江药业(泰州)",   "石药集团(石家庄)",
    "以岭药业(石家庄)",       "太极集团(重庆)"};

struct award_method {
  int64_t id;
  const char* name;
  int64_t points;
  const char* notes;  // may be null
};
const std::array<award_method, 5> award_methods = {{
    {1, "会员生日贺卡", 0, "生日当月领取"},
    {2, "精美雨伞", 150, nullptr},
    {3, "不锈钢保温杯", 300, nullptr},
    {4, "电动牙刷", 500, "每人每年限领一次"},
    {5, "电饭煲", 1000, nullptr},
}};

value text_or_null(const char* s) { return s ? value(s) : value(); }

int days_in_month(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : days[m - 1];
}

// A day between the years as yyyymmdd.
int64_t random_day(demo_random& rnd, int from_year, int to_year) {
  int y = int(rnd.between(from_year, to_year)), m = int(rnd.between(1, 12));
  int d = int(rnd.between(1, days_in_month(y, m)));
  return int64_t(y) * 10000 + m * 100 + d;
}

datetime day_of(int64_t yyyymmdd) {
  return datetime::from_parts(int(yyyymmdd / 10000), int(yyyymmdd / 100 % 100), int(yyyymmdd % 100));
}

// A day from the first of January of from_year up to and including the day last (yyyymmdd).
int64_t random_day_until(demo_random& rnd, int from_year, int64_t last) {
  const int64_t first = datetime::from_parts(from_year, 1, 1).seconds / 86400;
  const int64_t days = day_of(last).seconds / 86400 - first;
  return datetime{(first + rnd.between(0, std::max<int64_t>(0, days))) * 86400}.yyyymmdd();
}

// Whole years from the birthday to the day (both yyyymmdd).
int64_t age_on(int64_t born, int64_t day) {
  return day / 10000 - born / 10000 - (born % 10000 > day % 10000 ? 1 : 0);
}

// Identity card number: region, birthday, sequence and the ISO 7064 check character.
std::string identity_card(demo_random& rnd, int64_t birthday) {
  std::string s = std::string(rnd.pick(id_regions)) + std::to_string(birthday) + rnd.digits(3);
  static const int weights[] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
  int sum = 0;
  for (int i = 0; i < 17; ++i) sum += (s[size_t(i)] - '0') * weights[i];
  return s + "10X98765432"[sum % 11];
}

std::string zero_padded(int64_t v, int width) {
  std::string s = std::to_string(v);
  return s.size() < size_t(width) ? std::string(size_t(width) - s.size(), '0') + s : s;
}

// EAN-13 bar code starting with China's 69 prefix.
std::string bar_code(demo_random& rnd) {
  std::string s = "69" + rnd.digits(10);
  int sum = 0;
  for (size_t i = 0; i < 12; ++i) sum += (s[i] - '0') * (i % 2 ? 3 : 1);
  return s + char('0' + (10 - sum % 10) % 10);
}

bool insert_members(uo_transaction& tr, demo_random& rnd, int64_t count, int64_t made_on) {
  batch_insert b(tr, "t_member");
  const int width = std::max<int>(6, int(std::to_string(count).size()));
  // Last changed within the year up to the day the data is made.
  const datetime updated_from{day_of(made_on).seconds - 365 * 86400};
  for (int64_t id = 1; id <= count; ++id) {
    std::string name = std::string(rnd.pick(surnames)) + rnd.pick(given);
    if (rnd.percent(70)) name += rnd.pick(given);
    std::string addr = std::string(rnd.pick(cities)) + rnd.pick(districts) + rnd.pick(roads) +
                       std::to_string(rnd.between(1, 999)) + "号";
    if (rnd.percent(60))
      addr += std::to_string(rnd.between(1, 30)) + "幢" + std::to_string(rnd.between(1, 6)) + "单元" +
              std::to_string(rnd.between(1, 18) * 100 + rnd.between(1, 4)) + "室";
    value phone = rnd.percent(80) ? value(std::string(rnd.pick(area_codes)) + rnd.digits(7)) : value();
    static const char* const mobile_heads[] = {"13", "15", "18", "17"};
    value mobile = rnd.percent(90) ? value(std::string(mobile_heads[rnd.next() % 4]) + rnd.digits(9)) : value();

    // Birthday: mostly valid, a few missing, a few that are not a date at all.
    value birthday, age;
    int64_t born = random_day(rnd, 1940, 2006);
    int roll = int(rnd.between(0, 99));
    if (roll < 2) {
      // no birthday
    } else if (roll < 3) {
      birthday = value(born / 10000 * 10000 + 230);  // 30 February
    } else {
      birthday = value(born);
      age = value(age_on(born, made_on));
    }
    int lv = int(rnd.between(0, 99));
    int64_t level = lv < 70 ? 1 : lv < 90 ? 2 : 3;
    int available_roll = int(rnd.between(0, 99));
    value available = available_roll < 95 ? value(0) : available_roll < 98 ? value() : value(1);
    int marry_roll = int(rnd.between(0, 99));

    bool ok = b.add({
        value(id),
        value(name),
        value(addr),
        phone,
        value(datetime{updated_from.seconds + rnd.between(0, 365 * 86400)}),
        value(zero_padded(id, width)),
        value(decimal{rnd.between(0, 2000000), 2}),
        value(level),
        rnd.percent(98) ? value(rnd.between(0, 3000)) : value(),
        age,
        value(rnd.percent(50) ? "男" : "女"),
        value(rnd.percent(90) ? 1 : 2),
        rnd.percent(15) ? value(rnd.pick(ails)) : value(),
        rnd.percent(95) ? value(identity_card(rnd, birthday.is_null() ? 19800101 : born)) : value(),
        rnd.percent(60) ? value(rnd.pick(companies)) : value(),
        rnd.percent(10) ? value(rnd.pick(member_notes)) : value(),
        value(rnd.percent(40) ? 1 : 0),
        available,
        value(random_day_until(rnd, 2005, made_on)),
        rnd.percent(50) ? value("C" + rnd.digits(6)) : value(),
        birthday,
        mobile,
        value(marry_roll < 35 ? "未婚" : marry_roll < 95 ? "已婚" : "离婚"),
        rnd.percent(50) ? value(rnd.pick(hobbies)) : value(),
        rnd.percent(95) ? value(rnd.pick(allergies)) : value(),
    });
    if (!ok) return false;
  }
  return b.flush();
}

bool insert_articles(uo_transaction& tr, demo_random& rnd, int64_t count) {
  batch_insert a(tr, "t_article");
  batch_insert lp(tr, "t_article_member_level_price");
  for (int64_t id = 1; id <= count; ++id) {
    const article_kind& k = rnd.pick(article_kinds);
    // Prices with four places: mostly whole cents, now and then a finer price.
    __int128 mantissa = __int128(rnd.between(150, 50000)) * 100;
    if (rnd.percent(10)) mantissa += rnd.between(1, 99);
    decimal price{mantissa, 4};
    if (!a.add({value(id), value("YP" + zero_padded(id, 6)), value(k.name), value(k.spec),
                value(rnd.pick(manufacturers)), value(k.unit), value(price), value(bar_code(rnd)),
                value(rnd.percent(70) ? 1 : 0)}))
      return false;
    for (int level = 1; level <= 3; ++level) {
      if (!rnd.percent(80)) continue;  // no special price for this level
      value level_price;
      if (rnd.percent(97)) level_price = value(*(price * decimal{100 - 5 * level, 2}).rescale(4));
      if (!lp.add({value(level), value(id), level_price})) return false;
    }
  }
  return a.flush() && lp.flush();
}

bool insert_awards(uo_transaction& tr, demo_random& rnd, int64_t members, int64_t records,
                   int64_t made_on) {
  batch_insert m(tr, "t_member_award_method");
  for (const award_method& am : award_methods)
    if (!m.add({value(am.id), value(am.name), value(am.points), text_or_null(am.notes)})) return false;
  if (!m.flush()) return false;

  batch_insert r(tr, "t_member_award_record");
  for (int64_t seq = 1; seq <= records; ++seq) {
    const award_method& am = award_methods[size_t(rnd.between(1, int64_t(award_methods.size()) - 1))];
    if (!r.add({value(seq), value(rnd.between(1, members)), value(am.name), value(am.points),
                text_or_null(am.notes), value(random_day_until(rnd, int(made_on / 10000) - 1, made_on))}))
      return false;
  }
  if (!r.flush()) return false;
  // The latest redemptions still wait for upload.
  batch_insert q(tr, "t_member_award_to_up");
  for (int64_t seq = std::max<int64_t>(1, records - 9); seq <= records; ++seq)
    if (!q.add({value(seq)})) return false;
  if (!q.flush()) return false;
  if (records == 0) return true;
  // The sequence continues after the records already there.
  const value last[] = {value(records)};
  if (tr.kind() == backend::postgres)
    return tr.execute("SELECT setval('t_member_award_seq', :last)", last) == 0;
  return tr.execute("INSERT INTO t_sequence (seqname, lastvalue) VALUES ('t_member_award', :last) "
                    "ON CONFLICT (seqname) DO UPDATE SET lastvalue = excluded.lastvalue",
                    last) == 0;
}

bool insert_bills(uo_transaction& tr, demo_random& rnd, int64_t members, int64_t count,
                  int64_t made_on) {
  batch_insert b(tr, "t_bill_header");
  // Two years of bills up to the day the data is made, between 8:00 and 21:00.
  const datetime from{day_of(made_on).seconds - 2 * 365 * 86400 + 8 * 3600};
  for (int64_t n = 1; n <= count; ++n) {
    if (!b.add({value("B" + zero_padded(n, 9)), value(rnd.between(1, members)),
                value(datetime{from.seconds + rnd.between(0, 2 * 365) * 86400 + rnd.between(0, 13 * 3600)}),
                value(decimal{rnd.between(500, 50000), 2})}))
      return false;
  }
  return b.flush();
}

bool insert_fixed_rows(uo_transaction& tr) {
  batch_insert levels(tr, "t_member_level");
  levels.add({value(1), value("普通会员")});
  levels.add({value(2), value("银卡会员")});
  levels.add({value(3), value("金卡会员")});
  if (!levels.flush()) return false;
  batch_insert params(tr, "t_sys_param");
  params.add({value("MEMBER_SITE"), value(decimal::from_long(1))});
  params.add({value("MEMBER_MODIFY"), value(decimal::from_long(0))});
  params.add({value("MOBILE_CHECK"), value(decimal::from_long(1))});
  params.add({value("MEMBER_RATE"), value(decimal::from_long(10))});
  return params.flush();
}

}  // namespace

int generate_demo_data(uo_transaction& tr, const demo_options& o) {
  auto refuse = [&](const std::string& why) {
    tr.sqlcode = -1;
    tr.sqlerrtext = "demo data: " + why;
    return -1;
  };
  if (!tr.connected()) return refuse("not connected to a database");
  if (o.members < 10 || o.members > 1000000) return refuse("members must be between 10 and 1,000,000");
  if (o.articles < 0 || o.award_records < 0) return refuse("counts cannot be negative");
  demo_random rnd(o.seed);
  int64_t bills = o.bills < 0 ? o.members / 4 : o.bills;
  // SQLite: room for the whole load in the page cache, so that pages are not spilled to the
  // journal and written again while the indexes fill.
  const bool sqlite = tr.kind() == backend::sqlite;
  if (sqlite) tr.execute("PRAGMA cache_size = -262144");
  if (tr.begin() != 0) return -1;
  bool ok = insert_fixed_rows(tr) && insert_members(tr, rnd, o.members, o.made_on) &&
            insert_articles(tr, rnd, o.articles) &&
            insert_awards(tr, rnd, o.members, o.award_records, o.made_on) &&
            insert_bills(tr, rnd, o.members, bills, o.made_on);
  int rc = ok && tr.commit() == 0 ? 0 : -1;
  std::string why = tr.sqlerrtext;
  if (!ok) tr.rollback();
  if (sqlite) tr.execute("PRAGMA cache_size = -65536");  // back to the connection's own setting
  return rc == 0 ? 0 : refuse(why);
}
