#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace settings {

// One row of smtp_stuff, every column nullable, in table order.
struct SmtpStuffRow {
    std::optional<std::int32_t> entity;
    std::optional<std::string> mpynaam;
    std::optional<bool> update;
    std::optional<std::string> host, from, subject, port, username, password;
    std::optional<bool> smtpAuth;
    std::optional<std::string> body;
    std::optional<bool> useSsl;
    std::optional<std::string> sslType;
    std::optional<std::int32_t> tlsType;
    std::optional<std::string> bcc, replyTo;
    std::optional<bool> replyToUser;
};

struct ToggleColumn {
    std::string_view key;     // toggle id, and the column name the load writes
    std::string_view column;  // the column as the table declares it
    bool boolean;
};

// The 14 SMTP toggles in the order the load tests them.
inline constexpr std::array<ToggleColumn, 14> ToggleColumnMap{{
    {"SMTP_HOST", "SMTP_Host", false},
    {"SMTP_FROM", "SMTP_From", false},
    {"SMTP_SUBJECT", "SMTP_Subject", false},
    {"SMTP_PORT", "SMTP_Port", false},
    {"SMTP_USERNAME", "SMTP_Username", false},
    {"SMTP_PASSWORD", "SMTP_Password", false},
    {"SMTP_SMTPAUTH", "SMTP_smtpAuth", true},
    {"SMTP_BODY", "SMTP_body", false},
    {"SMTP_USESSL", "SMTP_UseSSL", true},
    {"SMTP_SSLTYPE", "SMTP_SSLType", false},
    {"SMTP_TLSType", "SMTP_TLSType", false},
    {"SMTP_BCC", "SMTP_BCC", false},
    {"SMTP_REPLYTO", "SMTP_ReplyTo", false},
    {"SMTP_REPLYTOUSER", "SMTP_ReplyToUSer", true},
}};

// The entry whose key equals the toggle id, ignoring the case of a to z only.
const ToggleColumn* matchToggle(std::string_view toggleId);

// 'text' with each single quote doubled.
std::string quoted(std::string_view text);

// The store's boolean (-1 true; anything else, empty or NULL false), decoded
// by the database.
std::string booleanDecode(std::string_view toggleValue);

// From version 10 on the server refuses "(col) = (value)" with one column;
// the source must then be written ROW(value).
bool needsRowSource(int serverVersion);

}  // namespace settings
