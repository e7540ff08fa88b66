#include "load_statements.h"

#include "working_table.h"

namespace settings {

std::string rebuildScript(int serverVersion)
{
    const char* mpynaam = needsRowSource(serverVersion)
                              ? "update smtp_stuff set (_mpynaam) = ROW(description)"
                              : "update smtp_stuff set (_mpynaam) = (description)";
    std::string s;
    s += "drop table if exists smtp_stuff ;\r\n";
    s += "create table smtp_stuff ( \r\n";
    s += "_entity integer, \r\n";
    s += "_mpynaam varchar, \r\n";
    s += "_update BOOLEAN default false , \r\n";
    s += "SMTP_Host varchar, \r\n";
    s += "SMTP_From varchar, \r\n";
    s += "SMTP_Subject  varchar, \r\n";
    s += "SMTP_Port VARCHAR, \r\n";
    s += "SMTP_Username varchar, \r\n";
    s += "SMTP_Password varchar, \r\n";
    s += "SMTP_smtpAuth BOOLEAN, \r\n";
    s += "SMTP_body varchar, \r\n";
    s += "SMTP_UseSSL BOOLEAN, \r\n";
    s += "SMTP_SSLType varchar, \r\n";
    s += "SMTP_TLSType INTEGER, \r\n";
    s += "SMTP_BCC varchar, \r\n";
    s += "SMTP_ReplyTo varchar, \r\n";
    s += "SMTP_ReplyToUSer BOOLEAN \r\n";
    s += ");\r\n";
    s += "insert into smtp_stuff (_entity)\r\n";
    s += "select distinct entity  from lysglb.toggles where toggleid ilike ";
    s += kSmtpPattern;
    s += " order by entity;\r\n";
    s += mpynaam;
    s += "\r\nfrom\r\n";
    s += "(select fdid,  description from lysglb.mpy) ss\r\n";
    s += "where _entity = fdid";
    return s;
}

std::string toggleRead()
{
    return "select * from lysglb.toggles where toggleid ilike " + std::string(kSmtpPattern)
         + " order by entity, toggleid";
}

std::string perToggleUpdate(std::string_view toggleId, std::string_view toggleValue,
                            std::string_view entity)
{
    const ToggleColumn* entry = matchToggle(toggleId);
    if (!entry)
        return {};
    std::string value;
    if (entry->boolean)
        value = booleanDecode(toggleValue);
    else if (entry->key == "SMTP_TLSType")
        value = "NULLIF(" + quoted(toggleValue) + ",$$$$)::INTEGER";  // empty is NULL, not an error
    else
        value = quoted(toggleValue);
    std::string s = "update smtp_stuff set ";
    s += entry->key;
    s += " = ";
    s += value;
    s += " where _entity = ";
    s += entity;
    return s;
}

}  // namespace settings
