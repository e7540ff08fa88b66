#pragma once
#include "result.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace db {

class Connection;

enum class FieldKind { Text, Integer, Boolean };

// A query dataset: SQL text, the result of its last open, and a cursor.
// Values are read straight from the held result, whole.
class Dataset {
public:
    explicit Dataset(std::string name);
    ~Dataset();
    Dataset(const Dataset&) = delete;
    Dataset& operator=(const Dataset&) = delete;

    const std::string& name() const { return name_; }
    Connection* connection() const { return connection_; }

    std::string sql;

    bool active() const { return active_; }
    // Runs `sql` on the connection (connecting when needed); on failure the
    // dataset stays closed.
    void open();
    void close();
    // Runs single statements in one pipeline as one transaction (all or
    // nothing); the dataset takes the last one's result and text.
    void openBatch(const std::vector<std::string>& statements);
    // Runs the text again and keeps the cursor's row number where it can.
    void refresh();

    void first();
    void next();
    void moveTo(int row);
    bool eof() const { return eof_; }
    int recNo() const { return row_; }  // 0-based; -1 with no rows
    int recordCount() const;

    int fieldCount() const;
    std::string fieldName(int field) const;
    FieldKind fieldKind(int field) const;
    // Case-insensitive; throws "<name>: Field '<name>' not found".
    int fieldIndex(std::string_view fieldName) const;

    // Reads of the current row, by field name.
    std::string asText(std::string_view field) const;
    bool asBoolean(std::string_view field) const;
    std::int32_t asInteger(std::string_view field) const;

    // Reads of any row, for the grid.
    std::optional<std::string_view> value(int row, int field) const;
    std::string text(int row, int field) const;

    // Takes a value the grid has already written to the database, so that
    // the held result shows it until the next open.
    void setValue(int row, int field, std::optional<std::string> value);

    // Observers for the grid: contents replaced, cursor moved.
    std::function<void()> onReset;
    std::function<void(int row)> onMove;

private:
    friend class Connection;
    void requireActive() const;
    void take(Result result);  // becomes open on it, at its first row
    // A bound connection, no blank text, and a live link (connecting on demand).
    void requireRunnable(const std::vector<std::string>& texts);
    void moved();
    void reset();

    std::string name_;
    Connection* connection_ = nullptr;
    Result result_;
    bool active_ = false;
    int row_ = -1;
    bool eof_ = true;
    std::map<std::pair<int, int>, std::optional<std::string>> edits_;
};

}  // namespace db
