#pragma once
#include "result.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace db {

class Dataset;

enum class ServerFamily { Unsupported, PostgreSQL };

// Which client a protocol name selects; exact spelling, case included.
// Accepted names of other server families have no driver here.
ServerFamily protocolFamily(const std::string& protocol);

// The one link to the server. Auto-commit, no transaction of its own.
class Connection {
public:
    explicit Connection(std::string name);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    const std::string& name() const { return name_; }

    std::string protocol = "postgresql";
    std::string hostName = "localhost";
    std::int32_t port = 5435;
    std::string database = "tq4_marrowdene";
    std::string user = "postgres";
    std::string password = "pinecrest";
    std::vector<std::string> libraryNames = defaultPqLibraryNames();

    std::function<void()> afterConnect;
    std::function<void()> afterDisconnect;

    bool connected() const { return conn_ != nullptr; }
    void setConnected(bool value) { value ? connect() : disconnect(); }
    void connect();
    void disconnect();

    // Datasets are closed in binding order on disconnect.
    void bind(Dataset& dataset);
    void unbind(Dataset& dataset);

    // PQserverVersion of the live link, e.g. 150018; 0 when not connected.
    int serverVersion() const;

    // One simple-query request. A refused text throws "SQL Error: ..."; a
    // broken link is dropped (after-disconnect runs) before the throw.
    Result exec(const std::string& sql);

    // Statements sent in one pipeline and committed together (one sync):
    // all take effect or none. Results come back in order; the first failure
    // throws "SQL Error: ..." and nothing of the batch has taken effect.
    std::vector<Result> execAtomic(const std::vector<std::string>& statements);

private:
    [[noreturn]] void failRequest(const PGresult* res);
    void dropBrokenLink();

    std::string name_;
    const PqApi* api_ = nullptr;
    PGconn* conn_ = nullptr;
    std::vector<Dataset*> datasets_;
};

}  // namespace db
