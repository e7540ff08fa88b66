// Pure pieces: number reading, log and box texts, statement composition.
#include "app/log_format.h"
#include "db/text_number.h"
#include "editing/apply_statements.h"
#include "settings/load_statements.h"
#include "settings/working_table.h"

#include <gtest/gtest.h>

#include <optional>

using namespace std::string_literals;

TEST(PortText, ReadsLikeTheConfigBoxDoes)
{
    const struct {
        const char* text;
        std::int32_t port;
    } cases[] = {
        {"5435", 5435}, {"abc", 0},   {"", 0},          {" 42", 42},         {"+5435", 5435},
        {"$1F", 31},    {"0x1F", 31}, {"5435 ", 0},     {"99999999999", 0},  {"-7", -7},
        {"2147483647", 2147483647},   {"2147483648", 0}, {"-2147483648", INT32_MIN}, {"0x", 0},
        {"$", 0},       {"+", 0},     {"1 2", 0},       {"$FFFFFFFF", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(db::parsePortText(c.text), c.port) << "text: \"" << c.text << '"';
}

TEST(LogEntry, StampsLocalTimeToTheMillisecond)
{
    EXPECT_EQ(app::logEntry({2024, 3, 5, 9, 7, 5, 42}, "Connected To : tq4_marrowdene"),
              "2024-03-05 09:07:05.042 -- Connected To : tq4_marrowdene");
    EXPECT_EQ(app::logEntry({2024, 12, 31, 0, 5, 0, 0}, "x"), "2024-12-31 00:05:00.000 -- x");
    EXPECT_EQ(app::logEntry({2024, 1, 1, 21, 0, 59, 999}, "a\r\nb"), "2024-01-01 21:00:59.999 -- a\r\nb");
}

TEST(ErrorBox, AppendsAFullStopOnlyAfterCharactersAboveIt)
{
    EXPECT_EQ(app::errorBoxText("SQL Error: boom"), "SQL Error: boom.");
    EXPECT_EQ(app::errorBoxText("Done."), "Done.");
    EXPECT_EQ(app::errorBoxText(""), "");
    EXPECT_EQ(app::errorBoxText("Really!"), "Really!");  // '!' sorts below '.'
    EXPECT_EQ(app::errorBoxText("trailing "), "trailing ");
    EXPECT_EQ(app::errorBoxText("path/"), "path/.");
}

TEST(ApplicationTitle, IsTheProgramNameCutAtTheFirstDot)
{
    EXPECT_EQ(app::applicationTitle("/opt/tool/SmtpSettings"), "Smtpsettings");
    EXPECT_EQ(app::applicationTitle("C:\\Tools\\SMTPSetter.v2.exe"), "Smtpsetter");
    EXPECT_EQ(app::applicationTitle("lower"), "lower");
}

TEST(ToggleColumnMap, MatchesKeysIgnoringAsciiCaseOnly)
{
    ASSERT_EQ(settings::ToggleColumnMap.size(), 14u);
    const struct {
        const char* id;
        const char* key;
    } cases[] = {
        {"SMTP_HOST", "SMTP_HOST"},   {"smtp_host", "SMTP_HOST"},       {"Smtp_Port", "SMTP_PORT"},
        {"smtp_tlstype", "SMTP_TLSType"}, {"SMTP_TLSTYPE", "SMTP_TLSType"}, {"smtp_replytouser", "SMTP_REPLYTOUSER"},
        {"SMTP_TIMEOUT", nullptr},    {"SMTP_HOST ", nullptr},          {"SMTP-HOST", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        const auto* entry = settings::matchToggle(c.id);
        if (!c.key)
            EXPECT_EQ(entry, nullptr) << c.id;
        else
            ASSERT_NE(entry, nullptr) << c.id;
        if (c.key && entry)
            EXPECT_EQ(entry->key, c.key);
    }
}

TEST(RebuildScript, IsTheFixedTemplateWithThePattern)
{
    const std::string old = settings::rebuildScript(90600);
    EXPECT_EQ(old.size(), 716u);
    EXPECT_EQ(old.substr(0, 35), "drop table if exists smtp_stuff ;\r\n");
    EXPECT_NE(old.find("select distinct entity  from lysglb.toggles where toggleid ilike '%smtp%' order by entity;\r\n"
                       "update smtp_stuff set (_mpynaam) = (description)\r\nfrom\r\n"
                       "(select fdid,  description from lysglb.mpy) ss\r\nwhere _entity = fdid"),
              std::string::npos);
    EXPECT_EQ(old.back(), 'd');
    int lines = 1;
    for (std::size_t i = 0; i + 1 < old.size(); ++i)
        lines += old[i] == '\r' && old[i + 1] == '\n';
    EXPECT_EQ(lines, 26);

    // From version 10 on only the one-column assignment differs.
    std::string modern = settings::rebuildScript(150004);
    const auto at = modern.find("= ROW(description)");
    ASSERT_NE(at, std::string::npos);
    modern.replace(at, 18, "= (description)");
    EXPECT_EQ(modern, old);
}

TEST(LoadStatements, AreComposedFromTheToggleRow)
{
    EXPECT_EQ(settings::toggleRead(),
              "select * from lysglb.toggles where toggleid ilike '%smtp%' order by entity, toggleid");
    const struct {
        const char* id;
        const char* value;
        const char* sent;
    } cases[] = {
        {"SMTP_PORT", "25", "update smtp_stuff set SMTP_PORT = '25' where _entity = 12"},
        {"smtp_usessl", "-1",
         "update smtp_stuff set SMTP_USESSL = coalesce(NULLIF('-1',$$$$)::INTEGER,0) = -1 where _entity = 12"},
        {"SMTP_SUBJECT", "Today's invoice",
         "update smtp_stuff set SMTP_SUBJECT = 'Today''s invoice' where _entity = 12"},
        {"smtp_tlstype", "", "update smtp_stuff set SMTP_TLSType = NULLIF('',$$$$)::INTEGER where _entity = 12"},
        {"SMTP_BODY", "a;b:c?d\\e$$f", "update smtp_stuff set SMTP_BODY = 'a;b:c?d\\e$$f' where _entity = 12"},
        {"SMTP_TIMEOUT", "30", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(settings::perToggleUpdate(c.id, c.value, "12"), c.sent) << c.id;
    EXPECT_EQ(settings::kGridQuery, "select * from smtp_stuff order by _entity;");
}

namespace {

editing::EditorValues sampleEditors()
{
    editing::EditorValues v;
    v.host = "smtp.example.org";
    v.port = "587";
    v.username = "ops";
    v.password = "p'w";
    v.smtpAuth = true;
    v.useSsl = false;
    v.sslIndex = -1;
    v.tlsIndex = 2;
    v.from = "billing@example.org";
    v.replyTo = "reply@example.org";
    v.bcc = "audit@example.org";
    v.subject = "O'Brien's report";
    v.replyToUser = true;
    v.body = "Line 1\nLine 2";
    return v;
}

}  // namespace

TEST(ApplyStatements, AreTheTemplatesByteForByte)
{
    const auto v = sampleEditors();
    EXPECT_EQ(editing::applyAllStatement(v, 12),
              "update smtp_stuff set (SMTP_Host, SMTP_From, SMTP_Subject, SMTP_Port, SMTP_Username, \r\n"
              " SMTP_Password, SMTP_smtpAuth, SMTP_body, SMTP_UseSSL, SMTP_SSLType, SMTP_BCC, SMTP_ReplyTo, "
              "SMTP_ReplyToUSer, SMTP_TLSType) = \r\n"
              "('smtp.example.org', 'billing@example.org', 'O''Brien''s report', '587', 'ops', 'p''w', 't', "
              "'Line 1\nLine 2', 'f', '-1', 'audit@example.org', 'reply@example.org', 't' ,'2' )\r\n"
              " where _entity = 12");
    EXPECT_EQ(editing::applyServerStatement(v, 3),
              "update smtp_stuff set (SMTP_Host, SMTP_Port, SMTP_Username, \r\n"
              " SMTP_Password, SMTP_smtpAuth, SMTP_UseSSL, SMTP_SSLType , SMTP_TLSType ) = \r\n"
              "('smtp.example.org', '587', 'ops', 'p''w', 't', 'f', '-1', '2')\r\n where _entity = 3");
}

TEST(ApplyStatements, DefaultValuesFollowTheAppendOrderOfTheBoxes)
{
    auto v = sampleEditors();
    const struct {
        std::array<bool, 6> yn;
        int version;
        std::optional<std::string> sent;
    } cases[] = {
        {{true, false, false, true, false, false}, 150000,
         "update smtp_stuff set ( SMTP_From,SMTP_Subject ) = ( 'billing@example.org','O''Brien''s report' )   "
         "\r\n where _entity = 7"s},
        {{false, false, false, false, true, false}, 150000,
         "update smtp_stuff set ( SMTP_ReplyToUSer ) = ROW( 't' )   \r\n where _entity = 7"s},
        {{false, false, false, false, true, false}, 90600,
         "update smtp_stuff set ( SMTP_ReplyToUSer ) = ( 't' )   \r\n where _entity = 7"s},
        {{true, true, true, true, true, true}, 150000,
         "update smtp_stuff set ( SMTP_From,SMTP_ReplyTo,SMTP_BCC,SMTP_ReplyToUSer,SMTP_Subject,SMTP_body ) = "
         "( 'billing@example.org','reply@example.org','audit@example.org','t','O''Brien''s report',"
         "'Line 1\nLine 2' )   \r\n where _entity = 7"s},
        {{}, 150000, std::nullopt},
    };
    for (const auto& c : cases) {
        v.yn = c.yn;
        EXPECT_EQ(editing::applyDefaultsStatement(v, 7, c.version), c.sent);
    }
}

TEST(StripTrailing, TrimsThenDropsOneSeparator)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"a,b,", "a,b"}, {"  'x','y',  ", "'x','y'"}, {"a,,", "a,"}, {",", ""}, {"a,b", "a,b"}, {"", ""},
        {"\t\r\na,\n", "a"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(editing::StripTrailing(c.in, ","), c.out) << '"' << c.in << '"';
    EXPECT_EQ(editing::StripTrailing("a--", "--"), "a");
}

TEST(WriteBackCall, QuotesNameAndValue)
{
    EXPECT_EQ(editing::writeBackCall(12, "smtp_port", "25"), "select lysglb.update_toggles(12, 'smtp_port', '25');");
    EXPECT_EQ(editing::writeBackCall(3, "smtp_subject", "O'Brien's report"),
              "select lysglb.update_toggles(3, 'smtp_subject', 'O''Brien''s report');");
    EXPECT_EQ(editing::kCheckAll, "update smtp_stuff set _update = $$t$$;");
    EXPECT_EQ(editing::kUnCheckAll, "update smtp_stuff set _update = $$f$$");
}
