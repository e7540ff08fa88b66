#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace editing {

// What the detail editors hold at the moment of an apply.
struct EditorValues {
    std::string host, port, username, password;  // LabeledEdit1, 4, 5, 6
    bool smtpAuth = false, useSsl = false;       // authCheck, SSLCheck
    int sslIndex = -1, tlsIndex = -1;            // SSLCombo, TLSCombo
    std::string from, replyTo, bcc, subject;     // LabeledEdit2, edtReplyTo, edtBCC, LabeledEdit3
    bool replyToUser = false;                    // ReplytoUserCheck
    std::string body;                            // memBody
    std::array<bool, 6> yn{};                    // cxCheckBox1 .. cxCheckBox6
};

std::string applyAllStatement(const EditorValues& v, std::int32_t entity);
std::string applyServerStatement(const EditorValues& v, std::int32_t entity);
// Nothing when no "Y/N" box is ticked: there is nothing to apply.
std::optional<std::string> applyDefaultsStatement(const EditorValues& v, std::int32_t entity,
                                                  int serverVersion);

inline constexpr std::string_view kNoDefaultChosen =
    "Tick at least one Y/N box to choose the default values to apply.";

// Trims blanks and control characters, then drops one trailing separator.
std::string StripTrailing(std::string_view text, std::string_view separator);

std::string writeBackCall(std::int32_t entity, std::string_view toggleName, std::string_view value);

inline constexpr std::string_view kCheckAll = "update smtp_stuff set _update = $$t$$;";
inline constexpr std::string_view kUnCheckAll = "update smtp_stuff set _update = $$f$$";

// A grid cell's edit, for exactly that entity's row; nullopt value is NULL.
std::string gridEditStatement(std::string_view column, const std::optional<std::string>& value,
                              std::int32_t entity);

}  // namespace editing
