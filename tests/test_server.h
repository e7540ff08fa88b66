#pragma once
// The test run's PostgreSQL cluster, started by the CTest fixture.
#include "db/connection.h"

#include <string>

namespace testing_support {

struct TestServer {
    std::string dir;
    int port = 0;
    std::string socketDir() const { return dir + "/sock"; }
};

// Reads the fixture's file; fails the test run loudly when it is missing.
const TestServer& testServer();

// A fresh database holding the demo schema and, when asked, the demo rows.
// Returns its name. Dropped and made again on every call with that name.
std::string makeDatabase(const std::string& name, bool withSeed);

// A connection of our own, for setting up and checking a database.
void adminExec(const std::string& database, const std::string& sql);
std::string adminQueryOne(const std::string& database, const std::string& sql);
// Configures a connection for the test server with the right password.
void configure(db::Connection& c, const std::string& database);

std::string readFile(const std::string& path);

}  // namespace testing_support
