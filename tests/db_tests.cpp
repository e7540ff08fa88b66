// The data-access layer against the real test cluster.
#include "db/connection.h"
#include "db/dataset.h"
#include "db/errors.h"
#include "test_server.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class DataAccess : public ::testing::Test {
protected:
    static void SetUpTestSuite() { makeDatabase("dal_test", true); }
    void SetUp() override
    {
        configure(conn, "dal_test");
        conn.afterConnect = [this] { ++connects; };
        conn.afterDisconnect = [this] { ++disconnects; };
        conn.bind(ds);
    }
    std::string errorOf(const std::function<void()>& f)
    {
        try {
            f();
        } catch (const db::DbError& e) {
            return e.what();
        }
        return "<no error>";
    }
    void openWith(const std::string& sql)
    {
        ds.close();
        ds.sql = sql;
        ds.open();
    }

    db::Connection conn{"ZConnection1"};
    db::Dataset ds{"ZQuery2"};
    int connects = 0, disconnects = 0;
};

}  // namespace

TEST_F(DataAccess, ConnectAndDisconnectRunTheirHandlersOnceAndCloseDatasets)
{
    conn.connect();
    conn.connect();  // already connected: nothing
    EXPECT_TRUE(conn.connected());
    EXPECT_EQ(connects, 1);
    EXPECT_GE(conn.serverVersion(), 100000);
    openWith("select 1");
    db::Dataset other("ZQuery3");
    conn.bind(other);
    other.sql = "select 2";
    other.open();
    conn.disconnect();
    conn.disconnect();
    EXPECT_EQ(disconnects, 1);
    EXPECT_FALSE(ds.active());
    EXPECT_FALSE(other.active());
}

TEST_F(DataAccess, OpenRunsTheWholeTextAndKeepsTheLastResult)
{
    openWith("create temp table t (a int);\r\ninsert into t values (1),(2);\r\nselect a, 'x;y?' as b from t order by a");
    EXPECT_EQ(ds.recordCount(), 2);
    EXPECT_EQ(ds.asText("B"), "x;y?");
    ds.next();
    EXPECT_EQ(ds.asInteger("a"), 2);
    ds.next();
    EXPECT_TRUE(ds.eof());
    EXPECT_EQ(ds.asInteger("a"), 2) << "past the end the cursor stays on the last row";

    openWith("update t set a = a + 1");
    EXPECT_TRUE(ds.active());
    EXPECT_EQ(ds.fieldCount(), 0);
    EXPECT_EQ(ds.recordCount(), 0);
    EXPECT_TRUE(ds.eof());

    // Notices (the table does not exist) are no errors.
    openWith("drop table if exists no_such_table");
    EXPECT_TRUE(ds.active());
}

TEST_F(DataAccess, FailingTextsLeaveTheDatasetClosed)
{
    const struct {
        const char* sql;
        const char* message;
    } cases[] = {
        {"", "SQL Query is empty"},
        {" \r\n\t", "SQL Query is empty"},
        {"select * from no_such_table", "SQL Error: ERROR:  relation \"no_such_table\" does not exist\nLINE 1: "
                                        "select * from no_such_table\n                      ^"},
        {"select 1; select 1/0", "SQL Error: ERROR:  division by zero"},
    };
    for (const auto& c : cases) {
        ds.close();
        ds.sql = c.sql;
        EXPECT_EQ(errorOf([&] { ds.open(); }), c.message) << c.sql;
        EXPECT_FALSE(ds.active());
    }
}

TEST_F(DataAccess, AMultiStatementTextIsOneTransaction)
{
    adminExec("dal_test", "create table if not exists tx (a int); truncate tx");
    ds.sql = "insert into tx values (1); select 1/0";
    EXPECT_NE(errorOf([&] { ds.open(); }), "<no error>");
    EXPECT_EQ(adminQueryOne("dal_test", "select count(*) from tx"), "0");
}

TEST_F(DataAccess, FieldReadsFollowTheToolkitRules)
{
    openWith("select null::boolean as nb, true as t, false as f, null::int as ni, 42 as i, null::varchar as nv,"
             " ' 2'::varchar as sp, 'abc'::varchar as bad, ''::varchar as empty, repeat('x', 300)::varchar as long,"
             " '7'::varchar as seven");
    const struct {
        const char* field;
        const char* text;
        bool boolean;
    } reads[] = {
        {"nb", "", false}, {"T", "True", true}, {"f", "False", false}, {"ni", "", false},
        {"i", "42", true}, {"nv", "", false},   {"SP", " 2", false},
    };
    for (const auto& r : reads) {
        EXPECT_EQ(ds.asText(r.field), r.text) << r.field;
        EXPECT_EQ(ds.asBoolean(r.field), r.boolean) << r.field;
    }
    EXPECT_EQ(ds.asInteger("ni"), 0);
    EXPECT_EQ(ds.asInteger("nb"), 0);
    EXPECT_EQ(ds.asInteger("i"), 42);
    EXPECT_EQ(ds.asInteger("sp"), 2);
    EXPECT_EQ(ds.asInteger("seven"), 7);
    EXPECT_EQ(errorOf([&] { ds.asInteger("bad"); }), "'abc' is not a valid integer value");
    EXPECT_EQ(errorOf([&] { ds.asInteger("empty"); }), "'' is not a valid integer value");
    EXPECT_EQ(errorOf([&] { ds.asInteger("nv"); }), "'' is not a valid integer value");
    EXPECT_EQ(ds.asText("long").size(), 300u) << "texts are held whole";
    EXPECT_EQ(errorOf([&] { ds.asText("_entity"); }), "ZQuery2: Field '_entity' not found");

    ds.close();
    EXPECT_EQ(errorOf([&] { ds.first(); }), "ZQuery2: Cannot perform this operation on a closed dataset");
    EXPECT_EQ(errorOf([&] { ds.refresh(); }), "ZQuery2: Cannot perform this operation on a closed dataset");
    EXPECT_EQ(errorOf([&] { ds.asText("i"); }), "ZQuery2: Field 'i' not found");
}

TEST_F(DataAccess, RefreshRereadsAndKeepsTheRowNumber)
{
    adminExec("dal_test", "create table if not exists rr (a int); truncate rr; insert into rr values (1),(2),(3)");
    openWith("select a from rr order by a");
    ds.next();
    adminExec("dal_test", "update rr set a = a * 10");
    ds.refresh();
    EXPECT_EQ(ds.recNo(), 1);
    EXPECT_EQ(ds.asText("a"), "20");
}

TEST_F(DataAccess, ABrokenLinkIsDroppedAndTheNextConnectOpensANewOne)
{
    conn.connect();
    openWith("select pg_backend_pid()");
    const std::string pid = ds.asText("pg_backend_pid");
    adminExec("dal_test", "select pg_terminate_backend(" + pid + ")");
    ds.close();
    ds.sql = "select 1 as one";
    const std::string err = errorOf([&] { ds.open(); });
    EXPECT_EQ(err.rfind("SQL Error: ", 0), 0u) << err;
    EXPECT_FALSE(conn.connected());
    EXPECT_EQ(disconnects, 1);
    ds.open();  // connects on demand
    EXPECT_TRUE(conn.connected());
    EXPECT_EQ(connects, 2);
    EXPECT_EQ(ds.asText("one"), "1");
}

TEST_F(DataAccess, BackslashesStayOrdinaryEvenWhenTheServerSaysOtherwise)
{
    makeDatabase("dal_scs", false);
    adminExec("dal_scs", "alter database dal_scs set standard_conforming_strings = off");
    db::Connection c("c");
    configure(c, "dal_scs");
    db::Dataset d("d");
    c.bind(d);
    // Were backslashes escapes, the quote after it would not end the literal.
    d.sql = "select 'a\\' as v, 'b' as w";
    d.open();
    EXPECT_EQ(d.asText("v"), "a\\");
    d.close();
    d.sql = "show standard_conforming_strings";
    d.open();
    EXPECT_EQ(d.text(0, 0), "on");
}

TEST_F(DataAccess, AnAtomicBatchTakesEffectWholeOrNotAtAll)
{
    conn.connect();
    adminExec("dal_test", "create table if not exists ab (a int); truncate ab");
    auto results = conn.execAtomic({"insert into ab values (1)", "insert into ab values (2)", "select count(*) from ab"});
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(adminQueryOne("dal_test", "select count(*) from ab"), "2");

    const std::string err = errorOf([&] {
        conn.execAtomic({"insert into ab values (3)", "select 1/0", "insert into ab values (4)"});
    });
    EXPECT_EQ(err, "SQL Error: ERROR:  division by zero");
    EXPECT_EQ(adminQueryOne("dal_test", "select count(*) from ab"), "2");
    EXPECT_TRUE(conn.connected());
    openWith("select count(*) as n from ab");  // the link is still usable
    EXPECT_EQ(ds.asText("n"), "2");
}

TEST(DataAccessConnect, RefusedConnectsThrowAndStayClosed)
{
    struct Case {
        const char* what;
        std::function<void(db::Connection&)> setup;
        std::string message;
    };
    const int port = testServer().port;
    const Case cases[] = {
        {"protocol in other case", [](db::Connection& c) { c.protocol = "PostgreSQL"; },
         "Requested database driver was not found"},
        {"unsupported listed protocol", [](db::Connection& c) { c.protocol = "postgresql-7.3"; },
         "Requested database driver was not found"},
        {"accepted name of another family", [](db::Connection& c) { c.protocol = "mysql"; },
         "Requested database driver was not found"},
        {"empty protocol", [](db::Connection& c) { c.protocol = ""; }, "Requested database driver was not found"},
        {"missing client library", [](db::Connection& c) { c.libraryNames = {"libpq-missing.so.9", "nopq.so"}; },
         "None of the dynamic libraries can be found: libpq-missing.so.9, nopq.so"},
        {"wrong password", [](db::Connection& c) { c.password = "wrong"; },
         "SQL Error: connection to server at \"127.0.0.1\", port " + std::to_string(port)
             + " failed: FATAL:  password authentication failed for user \"postgres\""},
        {"missing database", [](db::Connection& c) { c.database = "no_such_db"; },
         "SQL Error: connection to server at \"127.0.0.1\", port " + std::to_string(port)
             + " failed: FATAL:  database \"no_such_db\" does not exist"},
    };
    for (const auto& c : cases) {
        db::Connection conn("ZConnection1");
        configure(conn, "postgres");
        int connects = 0;
        conn.afterConnect = [&] { ++connects; };
        c.setup(conn);
        std::string err;
        try {
            conn.connect();
        } catch (const db::DbError& e) {
            err = e.what();
        }
        EXPECT_EQ(err, c.message) << c.what;
        EXPECT_FALSE(conn.connected()) << c.what;
        EXPECT_EQ(connects, 0) << c.what;
    }
}
