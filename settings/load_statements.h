#pragma once
#include <string>
#include <string_view>

namespace settings {

// The pattern every toggle read uses, as a quoted text.
inline constexpr std::string_view kSmtpPattern = "'%smtp%'";

// Drop, create and fill smtp_stuff; four statements in one text.
std::string rebuildScript(int serverVersion);
std::string toggleRead();
// The update that one toggle row gives, or "" for an id that is none of the
// 14 keys (it writes no column).
std::string perToggleUpdate(std::string_view toggleId, std::string_view toggleValue,
                            std::string_view entity);
inline constexpr std::string_view kEntityIndex = "create index smtp_stuff_entity on smtp_stuff (_entity)";
inline constexpr std::string_view kGridQuery = "select * from smtp_stuff order by _entity;";

}  // namespace settings
