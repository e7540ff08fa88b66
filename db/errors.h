#pragma once
#include <stdexcept>
#include <string>

namespace db {

// Every failure of the database access and of dataset reads; the message is
// what the user is shown.
class DbError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace db
