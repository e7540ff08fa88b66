#include "working_table.h"

#include <algorithm>

namespace settings {

const ToggleColumn* matchToggle(std::string_view id)
{
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
    for (const auto& entry : ToggleColumnMap)
        if (entry.key.size() == id.size()
            && std::equal(id.begin(), id.end(), entry.key.begin(),
                          [&](char a, char b) { return upper(a) == upper(b); }))
            return &entry;
    return nullptr;
}

std::string quoted(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 2);
    out += '\'';
    for (char c : text) {
        if (c == '\'')
            out += '\'';
        out += c;
    }
    out += '\'';
    return out;
}

std::string booleanDecode(std::string_view toggleValue)
{
    return "coalesce(NULLIF(" + quoted(toggleValue) + ",$$$$)::INTEGER,0) = -1";
}

bool needsRowSource(int serverVersion)
{
    return serverVersion >= 100000;
}

}  // namespace settings
