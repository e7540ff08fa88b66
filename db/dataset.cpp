#include "dataset.h"

#include "connection.h"
#include "errors.h"
#include "text_number.h"

#include <algorithm>

namespace db {

namespace {

constexpr Oid kBoolOid = 16, kInt8Oid = 20, kInt2Oid = 21, kInt4Oid = 23;

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

bool isBlank(const std::string& s)
{
    return std::all_of(s.begin(), s.end(), [](unsigned char c) { return c <= ' '; });
}

}  // namespace

Dataset::Dataset(std::string name) : name_(std::move(name)) {}

Dataset::~Dataset()
{
    onReset = nullptr;
    onMove = nullptr;
    if (connection_)
        connection_->unbind(*this);
}

void Dataset::requireActive() const
{
    if (!active_)
        throw DbError(name_ + ": Cannot perform this operation on a closed dataset");
}

void Dataset::reset()
{
    if (onReset)
        onReset();
}

void Dataset::moved()
{
    if (onMove)
        onMove(row_);
}

void Dataset::close()
{
    if (!active_ && !result_)
        return;
    result_.reset();
    edits_.clear();
    active_ = false;
    row_ = -1;
    eof_ = true;
    reset();
}

void Dataset::open()
{
    if (active_)
        return;
    requireRunnable({sql});
    take(connection_->exec(sql));
}

void Dataset::requireRunnable(const std::vector<std::string>& texts)
{
    if (!connection_)
        throw DbError(name_ + ": Database connection not assigned");
    for (const auto& text : texts)
        if (isBlank(text))
            throw DbError("SQL Query is empty");
    if (!connection_->connected())
        connection_->connect();
}

void Dataset::take(Result r)
{
    result_ = std::move(r);
    edits_.clear();
    active_ = true;
    row_ = recordCount() > 0 ? 0 : -1;
    eof_ = row_ < 0;
    reset();
    moved();
}

void Dataset::openBatch(const std::vector<std::string>& statements)
{
    if (active_ || statements.empty())
        return;
    requireRunnable(statements);
    std::vector<Result> results = connection_->execAtomic(statements);
    sql = statements.back();
    take(std::move(results.back()));
}

void Dataset::refresh()
{
    requireActive();
    const int keep = row_;
    Result r = connection_->exec(sql);
    result_ = std::move(r);
    edits_.clear();
    const int n = recordCount();
    row_ = n == 0 ? -1 : std::clamp(keep, 0, n - 1);
    eof_ = row_ < 0;
    reset();
    moved();
}

void Dataset::first()
{
    requireActive();
    row_ = recordCount() > 0 ? 0 : -1;
    eof_ = row_ < 0;
    moved();
}

void Dataset::next()
{
    requireActive();
    if (row_ + 1 < recordCount()) {
        ++row_;
        moved();
    } else {
        eof_ = true;  // the cursor stays on the last row
    }
}

void Dataset::moveTo(int row)
{
    requireActive();
    const int n = recordCount();
    if (n == 0 || row < 0 || row >= n || row == row_)
        return;
    row_ = row;
    eof_ = false;
    moved();
}

int Dataset::recordCount() const
{
    return result_ ? result_.api().ntuples(result_.get()) : 0;
}

int Dataset::fieldCount() const
{
    return result_ ? result_.api().nfields(result_.get()) : 0;
}

std::string Dataset::fieldName(int field) const
{
    return result_.api().fname(result_.get(), field);
}

FieldKind Dataset::fieldKind(int field) const
{
    switch (result_.api().ftype(result_.get(), field)) {
    case kBoolOid:
        return FieldKind::Boolean;
    case kInt2Oid:
    case kInt4Oid:
    case kInt8Oid:
        return FieldKind::Integer;
    default:
        return FieldKind::Text;
    }
}

int Dataset::fieldIndex(std::string_view wanted) const
{
    for (int i = 0, n = fieldCount(); i < n; ++i)
        if (sameIgnoringCase(fieldName(i), wanted))
            return i;
    throw DbError(name_ + ": Field '" + std::string(wanted) + "' not found");
}

std::optional<std::string_view> Dataset::value(int row, int field) const
{
    if (!edits_.empty())
        if (auto it = edits_.find({row, field}); it != edits_.end())
            return it->second ? std::optional<std::string_view>(*it->second) : std::nullopt;
    const PqApi& api = result_.api();
    if (api.getisnull(result_.get(), row, field))
        return std::nullopt;
    return std::string_view(api.getvalue(result_.get(), row, field),
                            static_cast<std::size_t>(api.getlength(result_.get(), row, field)));
}

std::string Dataset::text(int row, int field) const
{
    const auto v = value(row, field);
    if (!v)
        return {};
    if (fieldKind(field) == FieldKind::Boolean)
        return *v == "t" ? "True" : "False";
    return std::string(*v);
}

void Dataset::setValue(int row, int field, std::optional<std::string> v)
{
    edits_[{row, field}] = std::move(v);
}

std::string Dataset::asText(std::string_view field) const
{
    const int f = fieldIndex(field);
    requireActive();
    return row_ < 0 ? std::string() : text(row_, f);
}

bool Dataset::asBoolean(std::string_view field) const
{
    const int f = fieldIndex(field);
    requireActive();
    const auto v = row_ < 0 ? std::nullopt : value(row_, f);
    if (!v || v->empty())
        return false;
    switch (fieldKind(f)) {
    case FieldKind::Boolean:
        return *v == "t";
    case FieldKind::Integer:
        return *v != "0";
    case FieldKind::Text:
        break;
    }
    const char c = v->front();
    return c == 'T' || c == 't' || c == 'Y' || c == 'y' || c == '1';
}

std::int32_t Dataset::asInteger(std::string_view field) const
{
    const int f = fieldIndex(field);
    requireActive();
    const auto v = row_ < 0 ? std::nullopt : value(row_, f);
    const FieldKind kind = fieldKind(f);
    if (kind == FieldKind::Boolean)
        return v && *v == "t" ? 1 : 0;
    if (kind == FieldKind::Integer && !v)
        return 0;
    const std::string s(v.value_or(std::string_view()));
    if (auto n = parseInt32(s))
        return *n;
    throw DbError("'" + s + "' is not a valid integer value");
}

}  // namespace db
