// The statement runner and "Get SMTP Settings" on the real window and server.
#include "settings/load_statements.h"
#include "ui_support.h"

#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

std::string crlfJoin(std::initializer_list<const char*> lines)
{
    std::string out;
    for (const char* l : lines)
        out += (out.empty() ? "" : "\r\n") + std::string(l);
    return out;
}

}  // namespace

TEST(Runner, ConnectsOnDemandLogsAfterSuccessOnlyAndKeepsTheTextWhole)
{
    makeDatabase("run_test", false);
    FormUnderTest f("run_test");
    const std::string multi = "create table r (a int);\r\ninsert into r values (1);\r\nselect a from r";
    f->DoSqlQuery(&f->ZQuery1, multi);
    EXPECT_EQ(f.logged(), (std::vector<std::string>{"Connected To : run_test", "run_test : " + multi}));
    EXPECT_EQ(f->ZQuery1.connection(), &f->ZConnection1);
    EXPECT_EQ(f->ZQuery1.sql, multi);
    EXPECT_EQ(f->ZQuery1.asText("a"), "1");
    EXPECT_EQ(f->cxLabel1->text(), "Connected");

    f->DoSqlQuery(&f->ZQuery3, "update r set a = 2");
    EXPECT_TRUE(f->ZQuery3.active());
    EXPECT_EQ(f->ZQuery3.fieldCount(), 0);

    // a failing text: raised to the caller, nothing logged, the dataset closed
    EXPECT_THROW(f->DoSqlQuery(&f->ZQuery3, "update no_such set a = 1"), db::DbError);
    EXPECT_FALSE(f->ZQuery3.active());
    EXPECT_EQ(f.logged().back(), "run_test : update r set a = 2");

    f->DoSqlQuery(nullptr, "select 1");
    ASSERT_EQ(f.boxes.size(), 1u);
    EXPECT_EQ(f.boxes[0].text, "DoSqlQuery - nil query");
    EXPECT_FALSE(f.boxes[0].error);
    EXPECT_EQ(f.logged().size(), 3u);

    // Memo2 shows a multi-line text as one entry: only its first line is stamped.
    const QStringList lines = f->Memo2->toPlainText().split('\n');
    const QRegularExpression stamp("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} -- ");
    EXPECT_EQ(lines.filter(stamp).size(), qsizetype(f->logEntries().size()));
    EXPECT_GT(lines.size(), qsizetype(f->logEntries().size()));
    EXPECT_TRUE(lines.contains(QString("insert into r values (1);\r")) || lines.contains(QString("insert into r values (1);")));
}

TEST(Runner, AKilledServerLinkFailsOnceThenReconnects)
{
    makeDatabase("kill_test", false);
    FormUnderTest f("kill_test");
    f->DoSqlQuery(&f->ZQuery1, "select pg_backend_pid() as pid");
    adminExec("kill_test", "select pg_terminate_backend(" + f->ZQuery1.asText("pid") + ")");
    QTest::qWait(50);
    EXPECT_THROW(f->DoSqlQuery(&f->ZQuery3, "select 1"), db::DbError);
    EXPECT_FALSE(f->ZConnection1.connected());
    EXPECT_EQ(f->cxLabel1->text(), "Disconnected");
    EXPECT_EQ(f.logged().back(), "Disconnected From : kill_test");
    f->DoSqlQuery(&f->ZQuery3, "select 2");
    EXPECT_EQ(f.logged(), (std::vector<std::string>{"Connected To : kill_test", "kill_test : select pg_backend_pid() as pid",
                                                     "Disconnected From : kill_test", "Connected To : kill_test",
                                                     "kill_test : select 2"}));
}

TEST(Load, SendsAndLogsExactlyTheseStatementsInOrder)
{
    makeDatabase("load_texts", false);
    adminExec("load_texts", "insert into lysglb.toggles (entity, toggleid, togglevalue) values "
                            "(12, 'SMTP_PORT', '25'), (12, 'smtp_usessl', '-1'), (12, 'SMTP_SUBJECT', 'Today''s invoice'),"
                            "(12, 'INVOICE_PREFIX', 'INV');"
                            "insert into lysglb.mpy (fdid, description) values (12, 'Vantage')");
    FormUnderTest f("load_texts");
    f.load();
    ASSERT_TRUE(f.boxes.empty()) << f.lastError();
    const std::string script = crlfJoin({
        "drop table if exists smtp_stuff ;", "create table smtp_stuff ( ", "_entity integer, ", "_mpynaam varchar, ",
        "_update BOOLEAN default false , ", "SMTP_Host varchar, ", "SMTP_From varchar, ", "SMTP_Subject  varchar, ",
        "SMTP_Port VARCHAR, ", "SMTP_Username varchar, ", "SMTP_Password varchar, ", "SMTP_smtpAuth BOOLEAN, ",
        "SMTP_body varchar, ", "SMTP_UseSSL BOOLEAN, ", "SMTP_SSLType varchar, ", "SMTP_TLSType INTEGER, ",
        "SMTP_BCC varchar, ", "SMTP_ReplyTo varchar, ", "SMTP_ReplyToUSer BOOLEAN ", ");",
        "insert into smtp_stuff (_entity)",
        "select distinct entity  from lysglb.toggles where toggleid ilike '%smtp%' order by entity;",
        "update smtp_stuff set (_mpynaam) = ROW(description)", "from",
        "(select fdid,  description from lysglb.mpy) ss", "where _entity = fdid"});
    EXPECT_EQ(f.statements(), (std::vector<std::string>{
                                  script,
                                  "create index smtp_stuff_entity on smtp_stuff (_entity)",
                                  "select * from lysglb.toggles where toggleid ilike '%smtp%' order by entity, toggleid",
                                  "update smtp_stuff set SMTP_PORT = '25' where _entity = 12",
                                  "update smtp_stuff set SMTP_SUBJECT = 'Today''s invoice' where _entity = 12",
                                  "update smtp_stuff set SMTP_USESSL = coalesce(NULLIF('-1',$$$$)::INTEGER,0) = -1 "
                                  "where _entity = 12",
                                  "select * from smtp_stuff order by _entity;"}));
    EXPECT_EQ(f.logged().front(), "Connected To : load_texts");
    EXPECT_EQ(f->ZQuery2.recordCount(), 1);
    EXPECT_EQ(f->ZQuery2.asText("_mpynaam"), "Vantage");
    EXPECT_EQ(f->ZQuery2.asText("smtp_usessl"), "True");
    EXPECT_EQ(f->cxProgressBar1->maximum(), 3);
    EXPECT_EQ(f->cxProgressBar1->value(), 0);
    EXPECT_FALSE(f->cxProgressBar1->isVisible());
    EXPECT_TRUE(f->v_query->OnFocusedRecordChanged);
    EXPECT_TRUE(f->ZQuery1.eof());
}

TEST(Load, ReadsEveryToggleCaseIntoTheWorkingTable)
{
    makeDatabase("load_cases", false);
    const std::string body(300, 'b');
    adminExec("load_cases",
              "insert into lysglb.toggles (entity, toggleid, togglevalue) values "
              "(1, 'SMTP_HOST', 'upper'), (2, 'smtp_host', 'lower'), (3, 'Smtp_Host', 'mixed'),"
              "(4, 'SMTP_SMTPAUTH', '-1'), (5, 'SMTP_SMTPAUTH', '0'), (6, 'SMTP_SMTPAUTH', '1'),"
              "(7, 'SMTP_SMTPAUTH', ''), (8, 'SMTP_SMTPAUTH', null),"
              "(9, 'SMTP_SUBJECT', 'it''s; a: b? c\\d $$e$$'), (10, 'SMTP_BODY', '" + body + "'),"
              "(11, 'SMTP_TIMEOUT', '30'),"
              "(13, 'SMTP_PORT', '25'), (13, 'smtp_port', '26'),"
              "(14, 'SMTP_TLSType', ''), (15, 'smtp_tlstype', '3'), (16, 'SMTP_SSLTYPE', '2');"
              "insert into lysglb.mpy (fdid, description) values (1, 'One'), (99, 'No toggles')");
    FormUnderTest f("load_cases");
    f.load();
    ASSERT_TRUE(f.boxes.empty()) << f.lastError();
    auto cell = [&](int entity, const char* column) {
        return adminQueryOne("load_cases", std::string("select coalesce(") + column
                                               + "::text, '<null>') from smtp_stuff where _entity = "
                                               + std::to_string(entity));
    };
    const struct {
        int entity;
        const char* column;
        std::string value;
    } cases[] = {
        {1, "smtp_host", "upper"},      {2, "smtp_host", "lower"},   {3, "smtp_host", "mixed"},
        {1, "_mpynaam", "One"},         {2, "_mpynaam", "<null>"},   {1, "_update", "false"},
        {4, "smtp_smtpauth", "true"},   {5, "smtp_smtpauth", "false"}, {6, "smtp_smtpauth", "false"},
        {7, "smtp_smtpauth", "false"},  {8, "smtp_smtpauth", "false"}, {9, "smtp_subject", "it's; a: b? c\\d $$e$$"},
        {10, "smtp_body", body},        {11, "smtp_host", "<null>"}, {13, "smtp_port", "26"},
        {14, "smtp_tlstype", "<null>"}, {15, "smtp_tlstype", "3"},   {16, "smtp_ssltype", "2"},
        {1, "smtp_port", "<null>"},     {99, "_entity", "<no row>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cell(c.entity, c.column), c.value) << c.entity << " " << c.column;
    EXPECT_EQ(adminQueryOne("load_cases", "select count(*) from smtp_stuff where _entity = 11"), "1");
    EXPECT_EQ(f->cxProgressBar1->maximum(), 16) << "every row read counts, matched or not";
    EXPECT_EQ(f->ZQuery2.recordCount(), 15);
    // the grid shows them in entity order
    for (int r = 1; r < f->ZQuery2.recordCount(); ++r)
        EXPECT_LT(std::stoi(f->ZQuery2.text(r - 1, 0)), std::stoi(f->ZQuery2.text(r, 0)));
}

TEST(Load, AFailureShowsTheErrorAndStillRestoresFocusFollowingAndTheBar)
{
    const struct {
        const char* what;
        const char* setup;
        const char* errorStart;
    } cases[] = {
        {"no toggle table", "drop table lysglb.toggles cascade", "SQL Error: ERROR:  relation \"lysglb.toggles\" does not exist"},
        {"boolean yes", "insert into lysglb.toggles values (1, 'SMTP_USESSL', 'yes')",
         "SQL Error: ERROR:  invalid input syntax for type integer: \"yes\""},
        {"TLS abc", "insert into lysglb.toggles values (1, 'SMTP_HOST', 'h'), (1, 'SMTP_TLSType', 'abc')",
         "SQL Error: ERROR:  invalid input syntax for type integer: \"abc\""},
    };
    for (const auto& c : cases) {
        makeDatabase("load_fail", false);
        adminExec("load_fail", c.setup);
        FormUnderTest f("load_fail");
        f.load();
        EXPECT_EQ(f.lastError().rfind(c.errorStart, 0), 0u) << c.what << ": " << f.lastError();
        EXPECT_EQ(f.boxes.size(), 1u) << c.what;
        EXPECT_TRUE(f->v_query->OnFocusedRecordChanged) << c.what;
        EXPECT_FALSE(f->cxProgressBar1->isVisibleTo(&*f)) << c.what;
        EXPECT_EQ(f->v_query->model()->rowCount(), 0) << c.what;
        for (const auto& s : f.statements())
            EXPECT_EQ(s.find("abc"), std::string::npos) << "the failed statement is not logged";
    }
}

TEST(Load, TheDemoDatabaseGivesOneRowPerCompanyWithSmtpToggles)
{
    makeDatabase("load_demo", true);
    FormUnderTest f("load_demo");
    f.load();
    ASSERT_TRUE(f.boxes.empty()) << f.lastError();
    const std::string expected = adminQueryOne(
        "load_demo", "select count(distinct entity) from lysglb.toggles where toggleid ilike '%smtp%'");
    EXPECT_EQ(std::to_string(f->v_query->model()->rowCount()), expected);
    const std::string body = adminQueryOne("load_demo", "select togglevalue from lysglb.toggles where entity = 1 and toggleid = 'SMTP_BODY'");
    ASSERT_GT(body.size(), 255u);
    f.focusRow(f.rowOfEntity(2));
    f.focusRow(f.rowOfEntity(1));
    EXPECT_EQ(f->memBody->toPlainText().toStdString(), body);
}
