#include "apply_statements.h"

#include "settings/working_table.h"

namespace editing {

using settings::quoted;

namespace {

std::string flag(bool ticked) { return quoted(ticked ? "t" : "f"); }
std::string index(int i) { return quoted(std::to_string(i)); }

// Fills each "%s" of the template in turn, then the one "%d".
std::string compose(std::string_view tmpl, const std::vector<std::string>& values, std::int32_t entity)
{
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < tmpl.size(); ++i) {
        if (tmpl[i] == '%' && i + 1 < tmpl.size() && tmpl[i + 1] == 's') {
            out += values.at(next++);
            ++i;
        } else if (tmpl[i] == '%' && i + 1 < tmpl.size() && tmpl[i + 1] == 'd') {
            out += std::to_string(entity);
            ++i;
        } else {
            out += tmpl[i];
        }
    }
    return out;
}

bool blankOnly(std::string_view s)
{
    for (unsigned char c : s)
        if (c > ' ')
            return false;
    return true;
}

}  // namespace

std::string applyAllStatement(const EditorValues& v, std::int32_t entity)
{
    static constexpr std::string_view t =
        "update smtp_stuff set (SMTP_Host, SMTP_From, SMTP_Subject, SMTP_Port, SMTP_Username, \r\n"
        " SMTP_Password, SMTP_smtpAuth, SMTP_body, SMTP_UseSSL, SMTP_SSLType, SMTP_BCC, SMTP_ReplyTo, "
        "SMTP_ReplyToUSer, SMTP_TLSType) = \r\n"
        "(%s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s ,%s )\r\n where _entity = %d";
    return compose(t,
                   {quoted(v.host), quoted(v.from), quoted(v.subject), quoted(v.port), quoted(v.username),
                    quoted(v.password), flag(v.smtpAuth), quoted(v.body), flag(v.useSsl), index(v.sslIndex),
                    quoted(v.bcc), quoted(v.replyTo), flag(v.replyToUser), index(v.tlsIndex)},
                   entity);
}

std::string applyServerStatement(const EditorValues& v, std::int32_t entity)
{
    static constexpr std::string_view t =
        "update smtp_stuff set (SMTP_Host, SMTP_Port, SMTP_Username, \r\n"
        " SMTP_Password, SMTP_smtpAuth, SMTP_UseSSL, SMTP_SSLType , SMTP_TLSType ) = \r\n"
        "(%s, %s, %s, %s, %s, %s, %s, %s)\r\n where _entity = %d";
    return compose(t,
                   {quoted(v.host), quoted(v.port), quoted(v.username), quoted(v.password), flag(v.smtpAuth),
                    flag(v.useSsl), index(v.sslIndex), index(v.tlsIndex)},
                   entity);
}

std::optional<std::string> applyDefaultsStatement(const EditorValues& v, std::int32_t entity,
                                                  int serverVersion)
{
    // Append order, which is not the order of the boxes' names.
    const struct {
        bool ticked;
        std::string_view column;
        std::string value;
    } boxes[] = {
        {v.yn[0], "SMTP_From,", quoted(v.from)},
        {v.yn[1], "SMTP_ReplyTo,", quoted(v.replyTo)},
        {v.yn[2], "SMTP_BCC,", quoted(v.bcc)},
        {v.yn[4], "SMTP_ReplyToUSer,", flag(v.replyToUser)},
        {v.yn[3], "SMTP_Subject,", quoted(v.subject)},
        {v.yn[5], "SMTP_body,", quoted(v.body)},
    };
    std::string columns, values;
    int ticked = 0;
    for (const auto& b : boxes) {
        if (!b.ticked)
            continue;
        ++ticked;
        columns += b.column;
        values += b.value;
        values += ',';
    }
    if (ticked == 0)
        return std::nullopt;
    if (!blankOnly(columns))
        columns = StripTrailing(columns, ",");
    if (!blankOnly(values))
        values = StripTrailing(values, ",");
    if (ticked == 1 && settings::needsRowSource(serverVersion))
        return compose("update smtp_stuff set ( %s ) = ROW( %s )   \r\n where _entity = %d", {columns, values},
                       entity);
    return compose("update smtp_stuff set ( %s ) = ( %s )   \r\n where _entity = %d", {columns, values}, entity);
}

std::string StripTrailing(std::string_view text, std::string_view separator)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    if (!separator.empty() && text.size() >= separator.size()
        && text.substr(text.size() - separator.size()) == separator)
        text.remove_suffix(separator.size());
    return std::string(text);
}

std::string writeBackCall(std::int32_t entity, std::string_view toggleName, std::string_view value)
{
    return "select lysglb.update_toggles(" + std::to_string(entity) + ", " + quoted(toggleName) + ", "
         + quoted(value) + ");";
}

std::string gridEditStatement(std::string_view column, const std::optional<std::string>& value,
                              std::int32_t entity)
{
    return "update smtp_stuff set " + std::string(column) + " = " + (value ? quoted(*value) : "NULL")
         + " where _entity = " + std::to_string(entity);
}

}  // namespace editing
