// Applying the editors to the working table, the ticked-row walks and the
// write-back into the toggle store.
#include "editing/apply_statements.h"
#include "ui_support.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

const char* kRows =
    "insert into lysglb.toggles (entity, toggleid, togglevalue) values "
    "(3, 'SMTP_HOST', 'old3'), (3, 'SMTP_PORT', '25'), (3, 'SMTP_TLSType', '2'), (3, 'SMTP_USESSL', '-1'),"
    "(5, 'SMTP_HOST', 'old5'),"
    "(9, 'SMTP_HOST', 'old9'), (9, 'SMTP_SMTPAUTH', '0'),"
    "(11, 'SMTP_HOST', 'old11');"
    "insert into lysglb.mpy (fdid, description) values (3, 'Three'), (5, 'Five'), (9, 'Nine'), (11, 'Eleven')";

class Apply : public ::testing::Test {
protected:
    void SetUp() override
    {
        makeDatabase("apply_test", false);
        adminExec("apply_test", kRows);
        f.load();
        ASSERT_TRUE(f.boxes.empty()) << f.lastError();
    }
    void tick(std::initializer_list<int> entities)
    {
        for (int e : entities)
            f->v_query->model()->setData(f->v_query->model()->index(f.rowOfEntity(e), 0), Qt::Checked,
                                         Qt::CheckStateRole);
    }
    void fillEditors()
    {
        f->LabeledEdit1->setText("smtp.new.example");
        f->LabeledEdit4->setText("465");
        f->LabeledEdit5->setText("ops");
        f->LabeledEdit6->setText("s3cr'et");
        f->authCheck->setChecked(true);
        f->SSLCheck->setChecked(false);
        f->SSLCombo->setCurrentIndex(-1);
        f->TLSCombo->setCurrentIndex(3);
        f->LabeledEdit2->setText("from@new");
        f->edtReplyTo->setText("reply@new");
        f->edtBCC->setText("bcc@new");
        f->LabeledEdit3->setText("O'Brien's report");
        f->ReplytoUserCheck->setChecked(true);
        f->memBody->setPlainText("Body");
    }
    std::string cell(int entity, const char* column)
    {
        return adminQueryOne("apply_test", std::string("select coalesce(") + column
                                               + "::text, '<null>') from smtp_stuff where _entity = "
                                               + std::to_string(entity));
    }
    std::string toggle(int entity, const char* id)
    {
        return adminQueryOne("apply_test", std::string("select coalesce(togglevalue, '<null>') from lysglb.toggles "
                                                       "where entity = ")
                                               + std::to_string(entity) + " and upper(toggleid) = upper('" + id + "')");
    }
    FormUnderTest f{"apply_test"};
};

}  // namespace

TEST_F(Apply, EachOperationSendsItsTemplateByteForByte)
{
    fillEditors();
    const std::size_t from = f.logged().size();
    f->ApplyAllSettings(3);
    f->ApplyServerSettings(5);
    f->cxCheckBox4->setChecked(true);
    f->cxCheckBox1->setChecked(true);
    f->ApplyDefaultValues(9);
    f->cxCheckBox4->setChecked(false);
    f->cxCheckBox1->setChecked(false);
    f->cxCheckBox5->setChecked(true);
    f->ReplytoUserCheck->setChecked(false);
    f->ApplyDefaultValues(11);
    EXPECT_EQ(f.statements(from),
              (std::vector<std::string>{
                  "update smtp_stuff set (SMTP_Host, SMTP_From, SMTP_Subject, SMTP_Port, SMTP_Username, \r\n"
                  " SMTP_Password, SMTP_smtpAuth, SMTP_body, SMTP_UseSSL, SMTP_SSLType, SMTP_BCC, SMTP_ReplyTo, "
                  "SMTP_ReplyToUSer, SMTP_TLSType) = \r\n"
                  "('smtp.new.example', 'from@new', 'O''Brien''s report', '465', 'ops', 's3cr''et', 't', 'Body', "
                  "'f', '-1', 'bcc@new', 'reply@new', 't' ,'3' )\r\n where _entity = 3",
                  "update smtp_stuff set (SMTP_Host, SMTP_Port, SMTP_Username, \r\n"
                  " SMTP_Password, SMTP_smtpAuth, SMTP_UseSSL, SMTP_SSLType , SMTP_TLSType ) = \r\n"
                  "('smtp.new.example', '465', 'ops', 's3cr''et', 't', 'f', '-1', '3')\r\n where _entity = 5",
                  "update smtp_stuff set ( SMTP_From,SMTP_Subject ) = ( 'from@new','O''Brien''s report' )   \r\n"
                  " where _entity = 9",
                  "update smtp_stuff set ( SMTP_ReplyToUSer ) = ROW( 'f' )   \r\n where _entity = 11",
              }));
    EXPECT_EQ(cell(3, "smtp_subject"), "O'Brien's report");
    EXPECT_EQ(cell(3, "smtp_ssltype"), "-1");
    EXPECT_EQ(cell(3, "smtp_tlstype"), "3");
    EXPECT_EQ(cell(5, "smtp_from"), "<null>") << "server settings leave the defaults alone";
    EXPECT_EQ(cell(5, "smtp_password"), "s3cr'et");
    EXPECT_EQ(cell(9, "smtp_from") + "/" + cell(9, "smtp_host"), "from@new/old9");
    EXPECT_EQ(cell(11, "smtp_replytouser"), "false");
}

TEST_F(Apply, NoDefaultChosenSendsNothingAndSaysWhy)
{
    tick({3, 9});
    const std::size_t from = f.logged().size();
    f->cxButton6->click();
    EXPECT_EQ(f.lastError(), std::string(editing::kNoDefaultChosen));
    EXPECT_TRUE(f.statements(from).empty());
    EXPECT_TRUE(f->v_query->OnFocusedRecordChanged);
}

TEST_F(Apply, CurrentRecordAppliesAllSettingsThenRefreshes)
{
    f.focusRow(f.rowOfEntity(9));
    EXPECT_EQ(f.lastError(), "'' is not a valid integer value.") << "entity 9 has no SSL type";
    f.boxes.clear();
    fillEditors();
    f->cxButton3->click();
    ASSERT_TRUE(f.boxes.empty()) << f.lastError();
    EXPECT_EQ(cell(9, "smtp_host"), "smtp.new.example");
    EXPECT_EQ(cell(3, "smtp_host"), "old3");
    EXPECT_EQ(f->ZQuery2.asText("smtp_host"), "smtp.new.example") << "the grid shows it";
    EXPECT_TRUE(f->v_query->OnFocusedRecordChanged);
}

TEST_F(Apply, AWalkVisitsOnlyTickedRowsAndKeepsTheUsersEditors)
{
    // nothing ticked: nothing sent, the grid re-read, focus following back on
    std::size_t from = f.logged().size();
    f->cxButton5->click();
    EXPECT_TRUE(f.statements(from).empty());
    EXPECT_TRUE(f->v_query->OnFocusedRecordChanged);

    tick({9, 3});
    f.focusRow(f.rowOfEntity(11));
    fillEditors();
    from = f.logged().size();
    f->cxButton5->click();
    ASSERT_TRUE(f.boxes.empty()) << f.lastError();
    const auto sent = f.statements(from);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_NE(sent[0].find("where _entity = 3"), std::string::npos);
    EXPECT_NE(sent[1].find("where _entity = 9"), std::string::npos);
    EXPECT_EQ(cell(3, "smtp_host") + cell(9, "smtp_host") + cell(5, "smtp_host"), "smtp.new.examplesmtp.new.exampleold5");
    EXPECT_EQ(f->LabeledEdit1->text(), "smtp.new.example") << "the editors were not refilled during the walk";
    EXPECT_TRUE(f->v_query->OnFocusedRecordChanged);
}

TEST_F(Apply, WriteBackSendsFourteenCallsPerTickedRowInOrder)
{
    tick({3, 9});
    const std::size_t from = f.logged().size();
    f->cxButton4->click();
    ASSERT_TRUE(f.boxes.empty()) << f.lastError();
    const auto sent = f.statements(from);
    ASSERT_EQ(sent.size(), 28u);
    const char* names[] = {"smtp_host",     "smtp_from",   "smtp_subject", "smtp_port",    "smtp_username",
                           "smtp_password", "smtp_smtpauth", "smtp_body",  "smtp_usessl",  "smtp_ssltype",
                           "smtp_tlstype",  "smtp_bcc",    "smtp_replyto", "smtp_replytouser"};
    for (int i = 0; i < 28; ++i) {
        const std::string head = "select lysglb.update_toggles(" + std::to_string(i < 14 ? 3 : 9) + ", '" + names[i % 14] + "', ";
        EXPECT_EQ(sent[i].rfind(head, 0), 0u) << sent[i];
    }
    EXPECT_EQ(sent[0], "select lysglb.update_toggles(3, 'smtp_host', 'old3');");
    EXPECT_EQ(sent[6], "select lysglb.update_toggles(3, 'smtp_smtpauth', '');") << "NULL boolean";
    EXPECT_EQ(sent[8], "select lysglb.update_toggles(3, 'smtp_usessl', 'True');");
    EXPECT_EQ(sent[10], "select lysglb.update_toggles(3, 'smtp_tlstype', '2');");
    EXPECT_EQ(sent[24], "select lysglb.update_toggles(9, 'smtp_tlstype', '');") << "NULL integer";
    EXPECT_EQ(sent[20], "select lysglb.update_toggles(9, 'smtp_smtpauth', 'False');");
    EXPECT_EQ(toggle(9, "SMTP_SMTPAUTH"), "0");
    EXPECT_EQ(toggle(3, "SMTP_USESSL"), "-1");
    EXPECT_EQ(toggle(5, "SMTP_FROM"), "<no row>") << "unticked rows are not written";
}

TEST_F(Apply, AFailingCallStopsTheWalkAndLeavesThatCompanyUntouched)
{
    // The store refuses entity 9's port, its fourth call: its host, sent
    // before it, must not change either.
    adminExec("apply_test", "create function lysglb.refuse() returns trigger language plpgsql as $$ begin "
                            "if new.entity = 9 and upper(new.toggleid) = 'SMTP_PORT' then "
                            "raise exception 'entity 9 is locked'; end if; return new; end $$;"
                            "create trigger refuse before insert or update on lysglb.toggles for each row "
                            "execute function lysglb.refuse()");
    adminExec("apply_test", "update smtp_stuff set smtp_host = 'new' || _entity");
    f->ZQuery2.refresh();
    tick({3, 9, 11});
    const std::size_t from = f.logged().size();
    f->cxButton4->click();
    EXPECT_EQ(f.lastError().rfind("SQL Error: ERROR:  entity 9 is locked\nCONTEXT:  PL/pgSQL function", 0), 0u)
        << "the server's own message: " << f.lastError();
    EXPECT_EQ(toggle(3, "SMTP_HOST"), "new3") << "companies before it stay written";
    EXPECT_EQ(toggle(9, "SMTP_HOST"), "old9") << "nothing of the failing company took effect";
    EXPECT_EQ(toggle(11, "SMTP_HOST"), "old11") << "later companies are not sent";
    const auto sent = f.statements(from);
    ASSERT_EQ(sent.size(), 14u) << "the log shows only the calls that took effect";
    EXPECT_EQ(sent.front(), "select lysglb.update_toggles(3, 'smtp_host', 'new3');");
    EXPECT_TRUE(f->v_query->OnFocusedRecordChanged) << "focus following comes back whatever way the walk ends";
}

TEST(ApplyBeforeLoad, WalksAndTheCurrentRecordFailOnTheClosedDataset)
{
    makeDatabase("apply_empty", false);
    FormUnderTest f("apply_empty");
    f->cxButton4->click();
    EXPECT_EQ(f.lastError(), "ZQuery2: Cannot perform this operation on a closed dataset.");
    EXPECT_TRUE(f->v_query->OnFocusedRecordChanged);
    f->cxButton3->click();
    EXPECT_EQ(f.lastError(), "ZQuery2: Field '_entity' not found.");
    EXPECT_TRUE(f.logged().empty()) << "no statement, not even a connect";
}

TEST(Road, LoadTickEditApplyWriteBackAndLoadAgain)
{
    makeDatabase("road_test", true);
    FormUnderTest f("road_test");
    f.load();
    ASSERT_TRUE(f.boxes.empty()) << f.lastError();
    auto* model = f->v_query->model();
    for (int e : {2, 7, 18})
        model->setData(model->index(f.rowOfEntity(e), 0), Qt::Checked, Qt::CheckStateRole);

    const std::string body = std::string(280, 'l') + "\nC:\\mail\\out 'quoted'";
    f->LabeledEdit1->setText("relay.group.example");
    f->LabeledEdit4->setText("2525");
    f->LabeledEdit5->setText("GROUP\\relay");
    f->LabeledEdit6->setText("pa$$\\w'rd");
    f->authCheck->setChecked(true);
    f->SSLCheck->setChecked(true);
    f->SSLCombo->setCurrentIndex(3);
    f->TLSCombo->setCurrentIndex(2);
    f->cxButton5->click();
    f->memBody->setPlainText(QString::fromStdString(body));
    f->cxCheckBox6->setChecked(true);
    f->cxButton6->click();
    f->cxButton4->click();
    ASSERT_TRUE(f.boxes.empty()) << f.lastError();

    auto toggle = [](int entity, const char* id) {
        return adminQueryOne("road_test", "select string_agg(togglevalue, '|') from lysglb.toggles where entity = "
                                              + std::to_string(entity) + " and upper(toggleid) = upper('" + id + "')");
    };
    for (int e : {2, 7, 18}) {
        EXPECT_EQ(toggle(e, "SMTP_HOST"), "relay.group.example") << e;
        EXPECT_EQ(toggle(e, "SMTP_PORT"), "2525") << e;
        EXPECT_EQ(toggle(e, "SMTP_USERNAME"), "GROUP\\relay") << e;
        EXPECT_EQ(toggle(e, "SMTP_PASSWORD"), "pa$$\\w'rd") << e;
        EXPECT_EQ(toggle(e, "SMTP_SMTPAUTH"), "-1") << e;
        EXPECT_EQ(toggle(e, "SMTP_SSLTYPE"), "3") << e;
        EXPECT_EQ(toggle(e, "SMTP_TLSType"), "2") << e;
        EXPECT_EQ(toggle(e, "SMTP_BODY"), body) << e << ": long bodies are written whole";
    }
    EXPECT_NE(toggle(1, "SMTP_HOST"), "relay.group.example");

    // the next load reads back what was written
    f.load();
    ASSERT_TRUE(f.boxes.empty()) << f.lastError();
    f.focusRow(f.rowOfEntity(1));
    f.focusRow(f.rowOfEntity(18));
    EXPECT_EQ(f->LabeledEdit1->text(), "relay.group.example");
    EXPECT_EQ(f->LabeledEdit6->text().toStdString(), "pa$$\\w'rd");
    EXPECT_TRUE(f->authCheck->isChecked());
    EXPECT_TRUE(f->SSLCheck->isChecked());
    EXPECT_EQ(f->SSLCombo->currentIndex(), 3);
    EXPECT_EQ(f->TLSCombo->currentIndex(), 2);
    EXPECT_EQ(f->memBody->toPlainText().toStdString(), body);
    EXPECT_EQ(f->v_query->model()->index(f.rowOfEntity(18), 1).data().toString(), "18");
}
