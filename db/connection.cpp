#include "connection.h"

#include "dataset.h"
#include "errors.h"

#include <algorithm>
#include <array>

namespace db {

namespace {

std::string trimmed(std::string s)
{
    auto blank = [](unsigned char c) { return c <= ' '; };
    while (!s.empty() && blank(s.back()))
        s.pop_back();
    std::size_t i = 0;
    while (i < s.size() && blank(s[i]))
        ++i;
    return s.substr(i);
}

void ignoreNotice(void*, const char*) {}

}  // namespace

ServerFamily protocolFamily(const std::string& p)
{
    static const std::array<const char*, 3> postgres{"postgresql", "postgresql-7", "postgresql-8"};
    for (const char* name : postgres)
        if (p == name)
            return ServerFamily::PostgreSQL;
    return ServerFamily::Unsupported;
}

Connection::Connection(std::string name) : name_(std::move(name)) {}

Connection::~Connection()
{
    // The owner is going away: no handler may reach its controls any more.
    afterConnect = nullptr;
    afterDisconnect = nullptr;
    for (Dataset* ds : datasets_)
        ds->connection_ = nullptr;
    if (conn_)
        api_->finish(conn_);
}

void Connection::connect()
{
    if (conn_)
        return;
    if (protocolFamily(protocol) != ServerFamily::PostgreSQL)
        throw DbError("Requested database driver was not found");
    const PqApi& api = loadPqLibrary(libraryNames);

    const std::string portText = std::to_string(port == 0 ? 5432 : port);
    const char* keys[] = {"host", "port", "dbname", "user", "password", nullptr};
    const char* values[] = {hostName.c_str(), portText.c_str(), database.c_str(), user.c_str(),
                            password.c_str(), nullptr};
    PGconn* c = api.connectdbParams(keys, values, 0);
    if (!c)
        throw DbError("SQL Error: out of memory");
    if (api.status(c) != CONNECTION_OK) {
        std::string msg = trimmed(api.errorMessage(c));
        api.finish(c);
        throw DbError("SQL Error: " + msg);
    }
    api.setNoticeProcessor(c, ignoreNotice, nullptr);
    // Values are quoted by doubling single quotes, which is only safe while
    // backslashes are ordinary characters in literals.
    if (const char* scs = api.parameterStatus(c, "standard_conforming_strings");
        !scs || std::string(scs) != "on") {
        Result r(&api, api.exec(c, "SET standard_conforming_strings = on"));
        if (!r || api.resultStatus(r.get()) != PGRES_COMMAND_OK) {
            std::string msg = trimmed(r ? api.resultErrorMessage(r.get()) : api.errorMessage(c));
            api.finish(c);
            throw DbError("SQL Error: " + msg);
        }
    }
    api_ = &api;
    conn_ = c;
    if (afterConnect)
        afterConnect();
}

void Connection::disconnect()
{
    if (!conn_)
        return;
    for (Dataset* ds : datasets_) {
        try {
            ds->close();
        } catch (...) {
            // one dataset's failure must not keep the others open
        }
    }
    api_->finish(conn_);
    conn_ = nullptr;
    if (afterDisconnect)
        afterDisconnect();
}

void Connection::bind(Dataset& ds)
{
    if (ds.connection_ == this)
        return;
    if (ds.connection_)
        ds.connection_->unbind(ds);
    ds.connection_ = this;
    datasets_.push_back(&ds);
}

void Connection::unbind(Dataset& ds)
{
    datasets_.erase(std::remove(datasets_.begin(), datasets_.end(), &ds), datasets_.end());
    if (ds.connection_ == this)
        ds.connection_ = nullptr;
}

int Connection::serverVersion() const
{
    return conn_ ? api_->serverVersion(conn_) : 0;
}

void Connection::dropBrokenLink()
{
    if (conn_ && api_->status(conn_) == CONNECTION_BAD)
        disconnect();
}

void Connection::failRequest(const PGresult* res)
{
    std::string msg = trimmed(res ? api_->resultErrorMessage(res) : "");
    if (msg.empty())
        msg = trimmed(api_->errorMessage(conn_));
    dropBrokenLink();
    throw DbError("SQL Error: " + msg);
}

Result Connection::exec(const std::string& sql)
{
    if (!conn_)
        throw DbError("SQL Error: not connected");
    Result r(api_, api_->exec(conn_, sql.c_str()));
    if (!r)
        failRequest(nullptr);
    switch (api_->resultStatus(r.get())) {
    case PGRES_TUPLES_OK:
    case PGRES_COMMAND_OK:
    case PGRES_EMPTY_QUERY:
        return r;
    default:
        failRequest(r.get());
    }
}

std::vector<Result> Connection::execAtomic(const std::vector<std::string>& statements)
{
    if (!conn_)
        throw DbError("SQL Error: not connected");
    std::vector<Result> results;
    if (statements.empty())
        return results;
    if (api_->enterPipelineMode(conn_) != 1)
        failRequest(nullptr);
    bool sent = true;
    for (const auto& sql : statements)
        sent = sent && api_->sendQueryParams(conn_, sql.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 0) == 1;
    sent = sent && api_->pipelineSync(conn_) == 1 && api_->flush(conn_) == 0;

    // Drain everything up to the sync, whatever happened, so the link stays usable.
    std::string firstError;
    bool failed = !sent;
    bool synced = false;
    while (sent && !synced) {
        PGresult* raw = api_->getResult(conn_);
        if (!raw) {
            if (api_->status(conn_) == CONNECTION_BAD) {
                failed = true;
                break;
            }
            continue;  // end of one statement's results
        }
        Result r(api_, raw);
        switch (api_->resultStatus(raw)) {
        case PGRES_PIPELINE_SYNC:
            synced = true;
            break;
        case PGRES_TUPLES_OK:
        case PGRES_COMMAND_OK:
        case PGRES_EMPTY_QUERY:
            results.push_back(std::move(r));
            break;
        case PGRES_PIPELINE_ABORTED:
            break;
        default:
            if (!failed)
                firstError = trimmed(api_->resultErrorMessage(raw));
            failed = true;
        }
    }
    if (api_->status(conn_) != CONNECTION_BAD)
        api_->exitPipelineMode(conn_);
    if (failed) {
        if (firstError.empty())
            firstError = trimmed(api_->errorMessage(conn_));
        dropBrokenLink();
        throw DbError("SQL Error: " + firstError);
    }
    return results;
}

}  // namespace db
