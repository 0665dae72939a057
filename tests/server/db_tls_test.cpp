// A shop server that wants TLS and a password: a terminal connects with sslmode=verify-full and
// the shop's CA, is refused with libpq's reason when the CA or the host name is wrong, and finds
// its password in the URL, a service file or the password file, never showing it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "framework/db/transaction.h"
#include "support/pg_cluster.h"

namespace {

const std::string k_password = "Till-s3cret";

class db_tls_test : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::vector<int> ports = spare_pg_ports();
    if (ports.empty()) GTEST_SKIP() << "MEMBER_PG_SPARE_PORTS is not set (run under scripts/with-postgres.sh)";
    std::string reason;
    ASSERT_TRUE(server_.init(reason)) << reason;
    // The shop's CA, a server certificate for "localhost" signed by it, and a CA of nobody's.
    const char* ec = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
    server_.write_file("tls/server.ext", "subjectAltName=DNS:localhost,DNS:shop-db.test\n", 0644);
    ASSERT_TRUE(server_.run(
        std::string("cd tls && openssl req -x509 ") + ec + " -keyout ca.key -out ca.crt -days 2 -subj /CN=shop-ca" +
            " && openssl req " + ec + " -keyout server.key -out server.csr -subj /CN=localhost" +
            " && openssl x509 -req -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial -days 2" +
            " -extfile server.ext -out server.crt && chmod 600 server.key" +
            " && openssl req -x509 " + ec + " -keyout other.key -out other-ca.crt -days 2 -subj /CN=other-ca",
        reason))
        << reason;
    // Over TCP only TLS with a password; the socket stays the administrator's.
    server_.write_file("data/pg_hba.conf",
                       "local all all trust\n"
                       "hostssl all all 127.0.0.1/32 scram-sha-256\n"
                       "hostssl all all ::1/128 scram-sha-256\n");
    const std::string tls = server_.dir() + "/tls/";
    ASSERT_TRUE(server_.start(ports[0],
                              "-c ssl=on -c ssl_cert_file=" + tls + "server.crt -c ssl_key_file=" +
                                  tls + "server.key",
                              reason))
        << reason;
    uo_transaction admin;
    ASSERT_EQ(admin.connect(server_.admin_url()), 0) << admin.sqlerrtext;
    ASSERT_EQ(admin.execute("CREATE ROLE till LOGIN PASSWORD '" + k_password + "'"), 0) << admin.sqlerrtext;
    ASSERT_EQ(admin.commit(), 0) << admin.sqlerrtext;
    ca_ = tls + "ca.crt";
    other_ca_ = tls + "other-ca.crt";
  }

  std::string url(const std::string& userinfo, const std::string& host, const std::string& query) const {
    return "postgresql://" + userinfo + "@" + host + ":" + std::to_string(server_.port()) +
           "/postgres?" + query;
  }
  std::string verified(const std::string& ca) const { return "sslmode=verify-full&sslrootcert=" + ca; }

  // Connects as a terminal; on success checks that the session is encrypted. The error text.
  std::string connect(const std::string& u, bool expect_ok) {
    uo_transaction t;
    const int rc = t.connect(u);
    EXPECT_EQ(rc, expect_ok ? 0 : -1) << t.sqlerrtext;
    if (rc == 0) {
      std::vector<value> into;
      EXPECT_EQ(t.select_into("SELECT ssl FROM pg_stat_ssl WHERE pid = pg_backend_pid()", {}, into), 0)
          << t.sqlerrtext;
      EXPECT_EQ(into.empty() ? value() : into[0], value(int64_t(1))) << "the session is encrypted";
    }
    EXPECT_EQ(t.sqlerrtext.find(k_password), std::string::npos) << t.sqlerrtext;
    if (rc == 0) security_ = t.connection()->security();
    return t.sqlerrtext;
  }

  pg_cluster server_;
  std::string ca_, other_ca_;
  link_security security_ = link_security::file;  // of the last connection made
};

TEST_F(db_tls_test, verified_connection_clear_refusals_and_password_sources) {
  const std::string with_password = "till:" + k_password;
  connect(url(with_password, "localhost", verified(ca_)), true);

  struct refusal {
    const char* why;
    std::string url;
    const char* reason;  // libpq's words
  } refusals[] = {
      {"a CA that did not sign the server's certificate", url(with_password, "localhost", verified(other_ca_)),
       "certificate verify failed"},
      {"a host name the certificate is not for", url(with_password, "127.0.0.1", verified(ca_)),
       "does not match host name \"127.0.0.1\""},
      {"no TLS", url(with_password, "localhost", "sslmode=disable"), "no encryption"},
      {"a wrong password", url("till:wrong-" + k_password, "localhost", verified(ca_)),
       "password authentication failed"},
  };
  for (const refusal& r : refusals) {
    SCOPED_TRACE(r.why);
    const std::string error = connect(r.url, false);
    EXPECT_NE(error.find(r.reason), std::string::npos) << error;
    EXPECT_NE(error.find("postgresql://till:***@"), std::string::npos) << "the URL, masked: " << error;
  }

  // The password from the password file, or with everything else from a service file.
  const std::string passfile = server_.write_file(
      "client/pgpass", "localhost:" + std::to_string(server_.port()) + ":*:till:" + k_password + "\n");
  setenv("PGPASSFILE", passfile.c_str(), 1);
  connect(url("till", "localhost", verified(ca_)), true);
  unsetenv("PGPASSFILE");
  EXPECT_NE(connect(url("till", "localhost", verified(ca_)), false).find("password"), std::string::npos);

  const std::string services = server_.write_file(
      "client/pg_service.conf", "[shop]\nhost=localhost\nport=" + std::to_string(server_.port()) +
                                    "\ndbname=postgres\nuser=till\npassword=" + k_password +
                                    "\nsslmode=verify-full\nsslrootcert=" + ca_ + "\n");
  setenv("PGSERVICEFILE", services.c_str(), 1);
  connect("postgresql://?service=shop", true);
  unsetenv("PGSERVICEFILE");
}

// A URL that names no TLS mode, to a server known by a name that is not this machine's: the
// server's certificate is checked, so a server with a foreign certificate never gets the
// password. On this machine libpq's default stays: encrypted when offered, not verified.
TEST_F(db_tls_test, another_machine_is_verified_unless_the_url_chooses_a_mode) {
  const std::string with_password = "till:" + k_password;
  connect(url(with_password, "shop-db.test", "hostaddr=127.0.0.1&sslrootcert=" + ca_), true);
  EXPECT_EQ(security_, link_security::tls_verified);
  const std::string error =
      connect(url(with_password, "shop-db.test", "hostaddr=127.0.0.1&sslrootcert=" + other_ca_), false);
  EXPECT_NE(error.find("certificate verify failed"), std::string::npos) << error;
  connect(url(with_password, "shop-db.test", "hostaddr=127.0.0.1&sslmode=require"), true);
  EXPECT_EQ(security_, link_security::tls_unverified);
  connect(url(with_password, "localhost", "application_name=till"), true);
  EXPECT_EQ(security_, link_security::tls_unverified);
}

}  // namespace
