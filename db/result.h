#pragma once
#include "pq_library.h"

#include <utility>

namespace db {

// Owns one PGresult from the moment libpq hands it over.
class Result {
public:
    Result() = default;
    Result(const PqApi* api, PGresult* res) : api_(api), res_(res) {}
    Result(Result&& o) noexcept : api_(o.api_), res_(std::exchange(o.res_, nullptr)) {}
    Result& operator=(Result&& o) noexcept
    {
        if (this != &o) {
            reset();
            api_ = o.api_;
            res_ = std::exchange(o.res_, nullptr);
        }
        return *this;
    }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
    ~Result() { reset(); }

    void reset()
    {
        if (res_)
            api_->clear(res_);
        res_ = nullptr;
    }
    PGresult* get() const { return res_; }
    explicit operator bool() const { return res_ != nullptr; }
    const PqApi& api() const { return *api_; }

private:
    const PqApi* api_ = nullptr;
    PGresult* res_ = nullptr;
};

}  // namespace db
