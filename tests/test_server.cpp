#include "test_server.h"

#include "db/dataset.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

namespace testing_support {

const TestServer& testServer()
{
    static const TestServer server = [] {
        TestServer s;
        std::ifstream in(SMTPTEST_ENVFILE);
        if (!(in >> s.dir >> s.port)) {
            std::cerr << "No test cluster: run the tests through ctest (its fixture starts one).\n";
            std::abort();
        }
        return s;
    }();
    return server;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void configure(db::Connection& c, const std::string& database)
{
    c.hostName = "127.0.0.1";
    c.port = testServer().port;
    c.database = database;
    c.user = "postgres";
    c.password = "pinecrest";
}

void adminExec(const std::string& database, const std::string& sql)
{
    db::Connection c("admin");
    configure(c, database);
    c.connect();
    c.exec(sql);
}

std::string adminQueryOne(const std::string& database, const std::string& sql)
{
    db::Connection c("admin");
    configure(c, database);
    db::Dataset d("check");
    c.bind(d);
    d.sql = sql;
    d.open();
    return d.recordCount() ? d.text(0, 0) : std::string("<no row>");
}

std::string makeDatabase(const std::string& name, bool withSeed)
{
    adminExec("postgres", "drop database if exists " + name + " with (force)");
    adminExec("postgres", "create database " + name + " template template0 encoding 'UTF8'");
    adminExec(name, readFile(SMTPTEST_SAMPLE_DIR "/schema.sql"));
    if (withSeed)
        adminExec(name, readFile(SMTPTEST_SAMPLE_DIR "/seed.sql"));
    return name;
}

}  // namespace testing_support
