// The grid, the detail editors that follow it, and the popup menu.
#include "ui_support.h"

#include <QHeaderView>
#include <QTest>

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// Five companies; 2 has every setting NULL but SSL type "2".
const char* kGridRows =
    "insert into lysglb.toggles (entity, toggleid, togglevalue) values "
    "(2, 'SMTP_SSLTYPE', '2'),"
    "(3, 'SMTP_SSLTYPE', '7'), (3, 'SMTP_TLSType', '1'), (3, 'SMTP_HOST', 'three'),"
    "(4, 'SMTP_SSLTYPE', ' 2'), (4, 'SMTP_TLSType', '3'),"
    "(5, 'SMTP_SSLTYPE', 'abc'), (5, 'SMTP_HOST', 'five'), (5, 'SMTP_TLSType', '2'), (5, 'SMTP_BODY', 'five body'),"
    "(12, 'SMTP_HOST', 'mail.twelve'), (12, 'SMTP_FROM', 'from@12'), (12, 'SMTP_SUBJECT', 'subj'),"
    "(12, 'SMTP_PORT', '25'), (12, 'SMTP_USERNAME', 'u12'), (12, 'SMTP_PASSWORD', 'pw12'),"
    "(12, 'SMTP_SMTPAUTH', '-1'), (12, 'SMTP_USESSL', '-1'), (12, 'SMTP_SSLTYPE', '3'), (12, 'SMTP_TLSType', '0'),"
    "(12, 'SMTP_BCC', 'bcc@12'), (12, 'SMTP_REPLYTO', 'reply@12'), (12, 'SMTP_REPLYTOUSER', '-1');"
    "insert into lysglb.mpy (fdid, description) values (2, 'Two'), (3, 'Three'), (12, 'Twelve')";

class Grid : public ::testing::Test {
protected:
    void SetUp() override
    {
        makeDatabase("grid_test", false);
        adminExec("grid_test", kGridRows);
        adminExec("grid_test", "update lysglb.toggles set togglevalue = repeat('x', 300) where false");
        f.load();
        ASSERT_TRUE(f.boxes.empty()) << f.lastError();
        ASSERT_EQ(f->ZQuery2.recordCount(), 5);
    }
    QAbstractItemModel* model() { return f->v_query->model(); }
    QString shown(int entity, int column) { return model()->index(f.rowOfEntity(entity), column).data().toString(); }
    std::string editors()
    {
        auto t = [](QLineEdit* e) { return e->text().toStdString() + "|"; };
        auto b = [](QCheckBox* c) { return std::string(c->isChecked() ? "x|" : "-|"); };
        return t(f->edtBCC) + t(f->edtReplyTo) + t(f->LabeledEdit1) + t(f->LabeledEdit2) + t(f->LabeledEdit3)
             + t(f->LabeledEdit4) + t(f->LabeledEdit5) + t(f->LabeledEdit6) + b(f->authCheck) + b(f->SSLCheck)
             + std::to_string(f->SSLCombo->currentIndex()) + "|" + std::to_string(f->TLSCombo->currentIndex()) + "|"
             + b(f->ReplytoUserCheck) + f->memBody->toPlainText().toStdString() + "|"
             + f->cxLabel2->text().toStdString();
    }
    FormUnderTest f{"grid_test"};
};

}  // namespace

TEST_F(Grid, ColumnsStandInOrderWithCaptionsAndOnlyThreeAreEditable)
{
    const struct {
        const char* name;
        const char* header;
        bool editable;
    } columns[] = {
        {"v_query_update", "Update DB", true},      {"v_query_entity", "Entity", false},
        {"v_queryColumn1", "Description", true},    {"v_querysmtp_host", "smtp_host", false},
        {"v_querysmtp_from", "smtp_from", false},   {"v_querysmtp_subject", "smtp_subject", false},
        {"v_querysmtp_port", "smtp_port", false},   {"v_querysmtp_username", "smtp_username", false},
        {"v_querysmtp_password", "smtp_password", false}, {"v_querysmtp_smtpauth", "smtp_smtpauth", false},
        {"v_querysmtp_body", "smtp_body", false},   {"v_querysmtp_usessl", "smtp_usessl", false},
        {"v_querysmtp_ssltype", "smtp_ssltype", false}, {"v_querysmtp_tls_tp", "smtp_tlstype", true},
        {"v_querysmtp_bcc", "smtp_bcc", false},     {"v_querysmtp_replyto", "smtp_replyto", false},
        {"v_querysmtp_replytouser", "smtp_replytouser", false},
    };
    ASSERT_EQ(model()->columnCount(), 17);
    const QModelIndex row = model()->index(0, 0);
    for (int c = 0; c < 17; ++c) {
        EXPECT_EQ(f->DataSource1->columns()[c]->objectName(), columns[c].name);
        EXPECT_EQ(model()->headerData(c, Qt::Horizontal).toString(), columns[c].header) << c;
        const auto flags = model()->flags(row.siblingAtColumn(c));
        const bool editable = flags & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable);
        EXPECT_EQ(editable, columns[c].editable) << columns[c].name;
    }
    // best fit: the description column is at least as wide as its widest text
    const int need = f->v_query->fontMetrics().horizontalAdvance("Twelve");
    EXPECT_GE(f->v_query->columnWidth(2), need);
}

TEST_F(Grid, ListColumnsShowTheirItemTexts)
{
    EXPECT_EQ(shown(2, 12), "sslvSSLv3");
    EXPECT_EQ(shown(12, 12), "sslvTLSv1");
    EXPECT_EQ(shown(3, 12), "");  // "7" is no item
    EXPECT_EQ(shown(4, 12), "");  // " 2" is not the item value "2"
    EXPECT_EQ(shown(12, 13), "None");
    EXPECT_EQ(shown(3, 13), "Implicit");
    EXPECT_EQ(shown(5, 13), "Require");
    EXPECT_EQ(shown(4, 13), "Explicit");
    EXPECT_EQ(shown(2, 13), "");
    EXPECT_EQ(model()->index(f.rowOfEntity(12), 9).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(model()->index(f.rowOfEntity(2), 9).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
}

TEST_F(Grid, MovingTheFocusedRowFillsEveryEditor)
{
    const struct {
        int entity;
        std::string editors;
        std::string error;
    } cases[] = {
        {12, "bcc@12|reply@12|mail.twelve|from@12|subj|25|u12|pw12|x|x|3|0|x||Selected Entity : 12", ""},
        {2, "||||||||-|-|2|0|-||Selected Entity : 2", ""},
        {3, "||three||||||-|-|-1|1|-||Selected Entity : 3", ""},
        {4, "||||||||-|-|2|3|-||Selected Entity : 4", ""},
        // a bad SSL type fills every other editor first, then shows the error once
        {5, "||five||||||-|-|-1|2|-|five body|Selected Entity : 5", "'abc' is not a valid integer value."},
    };
    for (const auto& c : cases) {
        f.boxes.clear();
        f.focusRow(f.rowOfEntity(c.entity));
        EXPECT_EQ(editors(), c.editors) << c.entity;
        if (c.error.empty())
            EXPECT_TRUE(f.boxes.empty()) << c.entity << ": " << f.lastError();
        else {
            EXPECT_EQ(f.boxes.size(), 1u);
            EXPECT_EQ(f.lastError(), c.error);
        }
    }
}

TEST_F(Grid, ALongBodyIsShownWhole)
{
    const std::string body(300, 'q');
    adminExec("grid_test", "update smtp_stuff set smtp_body = '" + body + "' where _entity = 3");
    f->ZQuery2.refresh();
    f.focusRow(f.rowOfEntity(2));
    f.focusRow(f.rowOfEntity(3));
    EXPECT_EQ(f->memBody->toPlainText().toStdString(), body);
}

TEST_F(Grid, WithFocusFollowingDetachedTheEditorsStayAlone)
{
    f.focusRow(f.rowOfEntity(12));
    const std::string before = editors();
    f->v_query->OnFocusedRecordChanged = nullptr;
    f.focusRow(f.rowOfEntity(3));
    EXPECT_EQ(f->ZQuery2.asText("_entity"), "3") << "the dataset still follows the grid";
    EXPECT_EQ(editors(), before);
}

TEST_F(Grid, ATickInTheGridReachesOnlyThatEntitysRow)
{
    const int row = f.rowOfEntity(4);
    f->v_query->setFocus();
    f->v_query->setCurrentIndex(model()->index(row, 0));
    QTest::keyClick(f->v_query, Qt::Key_Space);
    EXPECT_EQ(adminQueryOne("grid_test", "select string_agg(_entity::text, ',' order by _entity) from smtp_stuff where _update"),
              "4");
    EXPECT_EQ(model()->index(row, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    const auto logged = f.logged().size();

    // description and TLS type are edited through the model as their editors do
    EXPECT_TRUE(model()->setData(model()->index(row, 2), "It's four", Qt::EditRole));
    EXPECT_TRUE(model()->setData(model()->index(row, 13), "1", Qt::EditRole));
    EXPECT_FALSE(model()->setData(model()->index(row, 3), "host", Qt::EditRole)) << "host is not editable here";
    EXPECT_EQ(adminQueryOne("grid_test", "select _mpynaam || '/' || smtp_tlstype from smtp_stuff where _entity = 4"),
              "It's four/1");
    EXPECT_EQ(adminQueryOne("grid_test", "select count(*) from smtp_stuff where _mpynaam = 'It''s four'"), "1");
    EXPECT_EQ(f.logged().size(), logged) << "grid writes are not logged";
    EXPECT_EQ(shown(4, 13), "Implicit");
}

TEST_F(Grid, CheckAllAndUnCheckAllTickEveryRow)
{
    const auto from = f.logged().size();
    f->CheckAll1->trigger();
    EXPECT_EQ(adminQueryOne("grid_test", "select count(*) from smtp_stuff where _update"), "5");
    for (int r = 0; r < 5; ++r)
        EXPECT_EQ(model()->index(r, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked) << r;
    f->UnCheckAll1->trigger();
    EXPECT_EQ(adminQueryOne("grid_test", "select count(*) from smtp_stuff where not _update"), "5");
    EXPECT_EQ(model()->index(2, 0).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_EQ(f.statements(from), (std::vector<std::string>{"update smtp_stuff set _update = $$t$$;",
                                                             "update smtp_stuff set _update = $$f$$"}));
    EXPECT_EQ(f.logged().back(), "grid_test : update smtp_stuff set _update = $$f$$");
}

TEST(GridBeforeLoad, CheckAllFailsOnTheClosedDataset)
{
    makeDatabase("grid_empty", false);
    adminExec("grid_empty", "create table smtp_stuff (_entity int, _update boolean)");
    FormUnderTest f("grid_empty");
    f->CheckAll1->trigger();
    EXPECT_EQ(f.lastError(), "ZQuery2: Cannot perform this operation on a closed dataset.");
    EXPECT_EQ(f.statements(), std::vector<std::string>{"update smtp_stuff set _update = $$t$$;"});
}

TEST_F(Grid, ARefreshThatKeepsTheRowKeepsWhatTheUserTyped)
{
    f.focusRow(f.rowOfEntity(12), 2);
    f->LabeledEdit1->setText("typed, not applied");
    f->CheckAll1->trigger();  // then "Apply to ALL Checked" would send the typed value
    EXPECT_TRUE(f.boxes.empty()) << f.lastError();
    EXPECT_EQ(f->LabeledEdit1->text(), "typed, not applied");
    EXPECT_EQ(f->v_query->currentIndex().row(), f.rowOfEntity(12));
    EXPECT_EQ(f->v_query->currentIndex().column(), 2);
    EXPECT_EQ(f->ZQuery2.asText("_entity"), "12");
    // moving on still refills
    f.focusRow(f.rowOfEntity(3));
    EXPECT_EQ(f->LabeledEdit1->text(), "three");
}
