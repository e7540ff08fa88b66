// The main window, the log and the connection, on real widgets.
#include "ui_support.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QMenu>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class Window : public ::testing::Test {
protected:
    static void SetUpTestSuite() { makeDatabase("win_test", true); }
    FormUnderTest f{"win_test"};
};

QColor background(QLabel* l) { return l->palette().color(QPalette::Window); }

}  // namespace

TEST_F(Window, EveryControlHasItsNameKindTextAndPlace)
{
    const struct {
        const char* name;
        const char* kind;
        QString text;
        QRect rect;  // height 0: natural height, not checked
    } controls[] = {
        {"cxGroupBox1", "QGroupBox", "Config", {3, 2, 161, 190}},
        {"cxLabel1", "QLabel", "Not Connected", {6, 15, 149, 17}},
        {"edit1", "QLineEdit", "127.0.0.1", {6, 34, 149, 0}},
        {"edit6", "QLineEdit", "postgres", {6, 74, 149, 0}},
        {"edit7", "QLineEdit", "pinecrest", {6, 94, 149, 0}},
        {"ComboBox1", "QComboBox", "postgresql", {6, 134, 149, 0}},
        {"Button3", "QPushButton", "Connect", {7, 157, 147, 25}},
        {"cxButton1", "QPushButton", "Get SMTP Settings", {168, 8, 204, 41}},
        {"GroupBox2", "QGroupBox", "Default Values", {816, 3, 465, 196}},
        {"cxButton2", "QPushButton", "Apply Settings to ALL Checked", {165, 150, 204, 41}},
        {"cxButton3", "QPushButton", "Apply Settings to Current Record", {165, 107, 204, 41}},
        {"cxLabel2", "QLabel", "", {164, 88, 206, 17}},
        {"GroupBox4", "QGroupBox", "SMTP", {378, 2, 428, 207}},
        {"GroupBox3", "QGroupBox", "Server Settings", {6, 18, 208, 183}},
        {"GroupBox1", "QGroupBox", "Authentication", {218, 18, 207, 125}},
        {"cxButton5", "QPushButton", "Apply to ALL Checked", {280, 160, 137, 25}},
        {"LabeledEdit1", "QLineEdit", "", {5, 31, 169, 21}},
        {"LabeledEdit4", "QLineEdit", "", {5, 70, 169, 21}},
        {"SSLCheck", "QCheckBox", "Use SSL", {5, 93, 177, 17}},
        {"SSLCombo", "QComboBox", "", {5, 110, 145, 21}},
        {"Label1", "QLabel", "TLS", {5, 136, 20, 13}},
        {"TLSCombo", "QComboBox", "", {5, 154, 145, 21}},
        {"authCheck", "QCheckBox", "Use Authentication", {3, 14, 177, 17}},
        {"LabeledEdit5", "QLineEdit", "", {3, 47, 169, 21}},
        {"LabeledEdit6", "QLineEdit", "", {3, 87, 169, 21}},
        {"LabeledEdit2", "QLineEdit", "", {8, 35, 169, 21}},
        {"LabeledEdit3", "QLineEdit", "", {8, 164, 169, 21}},
        {"edtReplyTo", "QLineEdit", "", {8, 80, 169, 21}},
        {"edtBCC", "QLineEdit", "", {8, 123, 169, 21}},
        {"ReplytoUserCheck", "QCheckBox", "Reply to User Email", {181, 158, 126, 0}},
        {"memBody", "QPlainTextEdit", "", {182, 23, 279, 137}},
        {"cxButton6", "QPushButton", "Apply to ALL Checked", {322, 166, 137, 25}},
        {"cxCheckBox1", "QCheckBox", "Y/N", {80, 14, 52, 0}},
        {"cxCheckBox2", "QCheckBox", "Y/N", {131, 59, 52, 0}},
        {"cxCheckBox3", "QCheckBox", "Y/N", {123, 103, 52, 0}},
        {"cxCheckBox4", "QCheckBox", "Y/N", {87, 144, 52, 0}},
        {"cxCheckBox5", "QCheckBox", "Y/N", {199, 173, 52, 0}},
        {"cxCheckBox6", "QCheckBox", "Y/N", {407, 4, 52, 0}},
        {"BitBtn1", "QPushButton", "Exit", {1182, 8, 97, 41}},
        {"cxProgressBar1", "QProgressBar", "", {8, 24, 457, 0}},
        {"cxButton4", "QPushButton", "Set values on DB as Displayed in Grid", {608, 12, 225, 41}},
        {"Memo2", "QPlainTextEdit", "", {}},
        {"v_query", "editing::GridView", "", {}},
    };
    for (const auto& c : controls) {
        auto* w = f->findChild<QWidget*>(c.name);
        ASSERT_NE(w, nullptr) << c.name;
        EXPECT_STREQ(w->metaObject()->className(), c.kind) << c.name;
        QString text;
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            text = b->text();
        else if (auto* l = qobject_cast<QLabel*>(w))
            text = l->text();
        else if (auto* e = qobject_cast<QLineEdit*>(w))
            text = e->text();
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            text = g->title();
        else if (auto* cb = qobject_cast<QComboBox*>(w))
            text = cb->currentText();
        else if (auto* m = qobject_cast<QPlainTextEdit*>(w))
            text = m->toPlainText();
        EXPECT_EQ(text, c.text) << c.name;
        if (!c.rect.isNull()) {
            EXPECT_EQ(w->pos(), c.rect.topLeft()) << c.name;
            EXPECT_EQ(w->width(), c.rect.width()) << c.name;
            if (c.rect.height() > 0)
                EXPECT_EQ(w->height(), c.rect.height()) << c.name;
        }
    }
    const char* components[] = {"ZConnection1", "ZQuery1", "ZQuery2", "ZQuery3", "DataSource1", "cxGrid1Level1",
                                "cxEditRepository1", "cxEditRepository1CheckBoxItem1", "cxEditRepository1MemoItem1",
                                "cxEditRepository1ImageComboBoxItem1", "PopupMenu1", "CheckAll1", "UnCheckAll1"};
    for (const char* name : components) {
        const bool found = f->findChild<QObject*>(name) || std::string(name) == f->ZConnection1.name()
                        || std::string(name) == f->ZQuery1.name() || std::string(name) == f->ZQuery2.name()
                        || std::string(name) == f->ZQuery3.name();
        EXPECT_TRUE(found) << name;
    }
    EXPECT_EQ(f->edit7->echoMode(), QLineEdit::Password);
    EXPECT_EQ(f->LabeledEdit6->echoMode(), QLineEdit::Password);
    EXPECT_EQ(f->ComboBox1->count(), 15);
    EXPECT_TRUE(f->ComboBox1->isEditable());
    EXPECT_EQ(f->ComboBox1->itemText(13), "postgresql-7.3");
    EXPECT_EQ(f->TLSCombo->itemText(1), "Implicit ");
    EXPECT_EQ(f->TLSCombo->itemText(2), "Require ");
    EXPECT_EQ(f->SSLCombo->itemText(1), "sslvSSLv23");
    EXPECT_EQ(f->PopupMenu1->actions().at(0)->text(), "Check All");
    EXPECT_EQ(f->PopupMenu1->actions().at(1)->text(), "UnCheck All");
    EXPECT_EQ(f->findChild<QLabel*>("LabeledEdit1.EditLabel")->text(), "SMTP Server");
    EXPECT_EQ(f->findChild<QLabel*>("edtReplyTo.EditLabel")->text(), "Default Reply-To Address");
}

TEST_F(Window, StartsWithTheDefaultsAndNoConnection)
{
    FormUnderTest fresh("win_test");
    TForm1 plain;  // the form's own defaults, untouched
    EXPECT_EQ(plain.edit1->text(), "localhost");
    EXPECT_EQ(plain.edit2->text(), "tq4_marrowdene");
    EXPECT_EQ(plain.edit8->text(), "5435");
    EXPECT_EQ(plain.ZConnection1.port, 5435);
    EXPECT_EQ(plain.windowTitle(), "Form1");
    EXPECT_EQ(plain.pos(), QPoint(82, 163));
    EXPECT_EQ(plain.size(), QSize(1297, 644));
    EXPECT_FALSE(plain.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(plain.windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(plain.ZConnection1.connected());
    EXPECT_TRUE(plain.logEntries().empty());
    EXPECT_TRUE(plain.Memo2->toPlainText().isEmpty());
    EXPECT_EQ(plain.cxPageControl1->currentIndex(), 0);
    EXPECT_EQ(plain.cxPageControl1->tabText(0), "SMTP Settings");
    EXPECT_EQ(plain.cxPageControl1->tabText(1), "Log");
    EXPECT_FALSE(plain.cxButton2->isVisibleTo(&plain));
    EXPECT_FALSE(plain.cxProgressBar1->isVisibleTo(&plain));
    EXPECT_EQ(plain.SSLCombo->currentIndex(), -1);
    EXPECT_EQ(plain.TLSCombo->currentIndex(), -1);
    EXPECT_EQ(plain.v_query->model()->rowCount(), 0);
    EXPECT_FALSE(plain.ZQuery2.active());
}

TEST_F(Window, TabVisitsTheControlsInOrderAndSkipsTheHiddenButton)
{
    std::vector<std::string> visited;
    QWidget* w = f->ComboBox1;
    for (int guard = 0; guard < 200 && visited.size() < 34; ++guard) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(&*f) && w->isEnabled() && w->window() == &*f
            && !w->focusProxy())
            visited.push_back(w->objectName().toStdString());
        w = w->nextInFocusChain();
        if (w == f->ComboBox1)
            break;
    }
    const std::vector<std::string> expected{
        "ComboBox1",   "edit1",       "edit2",       "edit6",        "edit7",       "edit8",
        "Button3",     "cxButton1",   "LabeledEdit2", "LabeledEdit3", "edtReplyTo",  "edtBCC",
        "ReplytoUserCheck", "memBody", "cxButton6",  "cxCheckBox1",  "cxCheckBox2", "cxCheckBox3",
        "cxCheckBox4", "cxCheckBox5", "cxCheckBox6", "cxButton3",    "LabeledEdit1", "LabeledEdit4",
        "SSLCheck",    "SSLCombo",    "TLSCombo",    "authCheck",    "LabeledEdit5", "LabeledEdit6",
        "cxButton5"};
    ASSERT_GE(visited.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(visited.begin(), visited.begin() + long(expected.size())), expected);
}

TEST_F(Window, OnlyThePageControlGrowsAndExitKeepsToTheCorner)
{
    const QPoint button4 = f->cxButton4->pos();
    f->resize(1600, 900);
    QCoreApplication::processEvents();
    EXPECT_EQ(f->Panel1->geometry(), QRect(0, 0, 1600, 215));
    EXPECT_EQ(f->Panel2->geometry(), QRect(0, 900 - 61, 1600, 61));
    EXPECT_EQ(f->cxPageControl1->geometry(), QRect(0, 215, 1600, 900 - 215 - 61));
    EXPECT_EQ(f->BitBtn1->geometry().right() + 1, 1600 - 18);
    EXPECT_EQ(f->BitBtn1->geometry().bottom() + 1, 61 - 12);
    EXPECT_EQ(f->cxButton4->pos(), button4);
    EXPECT_EQ(f->cxButton1->pos(), QPoint(168, 8));
    f->resize(1297, 644);
    QCoreApplication::processEvents();
    EXPECT_EQ(f->BitBtn1->pos(), QPoint(1182, 8));
    EXPECT_EQ(f->cxPageControl1->height(), 368);
}

TEST_F(Window, ConnectAndDisconnectShowInLabelButtonAndLog)
{
    f->clock = [] { return app::LocalTime{2024, 3, 5, 9, 7, 5, 42}; };
    f->Button3->click();
    ASSERT_TRUE(f->ZConnection1.connected()) << f.lastError();
    EXPECT_EQ(f->logEntries(), std::vector<std::string>{"2024-03-05 09:07:05.042 -- Connected To : win_test"});
    EXPECT_EQ(f->Memo2->toPlainText().toStdString(), "2024-03-05 09:07:05.042 -- Connected To : win_test");
    EXPECT_EQ(f->cxLabel1->text(), "Connected");
    EXPECT_EQ(background(f->cxLabel1), QColor(0, 128, 0));
    EXPECT_EQ(f->cxLabel1->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(f->Button3->text(), "Disconnect");
    EXPECT_EQ(f->ZQuery1.connection(), &f->ZConnection1);
    EXPECT_EQ(f->cxPageControl1->currentIndex(), 0) << "logging switches no tab";

    f.load();
    ASSERT_TRUE(f->ZQuery2.active()) << f.lastError();
    f->clock = [] { return app::LocalTime{2024, 3, 5, 21, 0, 0, 1}; };
    f->Button3->click();
    EXPECT_FALSE(f->ZConnection1.connected());
    EXPECT_EQ(f->logEntries().back(), "2024-03-05 21:00:00.001 -- Disconnected From : win_test");
    EXPECT_EQ(f->cxLabel1->text(), "Disconnected");
    EXPECT_EQ(background(f->cxLabel1), QColor(255, 0, 0));
    EXPECT_EQ(f->Button3->text(), "Connect");
    EXPECT_FALSE(f->ZQuery1.active());
    EXPECT_FALSE(f->ZQuery2.active());
    EXPECT_EQ(f->v_query->model()->rowCount(), 0) << "the grid empties";
    EXPECT_TRUE(f.boxes.empty());
}

TEST_F(Window, RefusedConnectsShowTheErrorAndChangeNothing)
{
    const int port = testServer().port;
    const struct {
        const char* what;
        std::function<void(TForm1&)> setup;
        std::string message;
    } cases[] = {
        {"protocol case", [](TForm1& w) { w.ComboBox1->setCurrentText("PostgreSQL"); },
         "Requested database driver was not found."},
        {"listed but unsupported", [](TForm1& w) { w.ComboBox1->setCurrentText("postgresql-7.3"); },
         "Requested database driver was not found."},
        {"empty protocol", [](TForm1& w) { w.ComboBox1->setCurrentText(""); },
         "Requested database driver was not found."},
        {"missing library", [](TForm1& w) { w.ZConnection1.libraryNames = {"libpq-none.so.1", "libpq-none.so"}; },
         "None of the dynamic libraries can be found: libpq-none.so.1, libpq-none.so."},
        {"wrong password", [](TForm1& w) { w.edit7->setText("wrong"); },
         "SQL Error: connection to server at \"127.0.0.1\", port " + std::to_string(port)
             + " failed: FATAL:  password authentication failed for user \"postgres\""},  // '"' sorts below the full stop
        {"nothing listening", [](TForm1& w) { w.edit8->setText("1"); },
         "SQL Error: connection to server at \"127.0.0.1\", port 1 failed: Connection refused\n\tIs the server "
         "running on that host and accepting TCP/IP connections?."},
    };
    for (const auto& c : cases) {
        FormUnderTest w("win_test");
        c.setup(*w);
        w->Button3->click();
        ASSERT_EQ(w.boxes.size(), 1u) << c.what;
        EXPECT_EQ(w.boxes[0].text, c.message) << c.what;
        EXPECT_EQ(w.boxes[0].title, app::applicationTitle(QCoreApplication::applicationFilePath().toStdString()));
        EXPECT_FALSE(w->ZConnection1.connected()) << c.what;
        EXPECT_EQ(w->cxLabel1->text(), "Not Connected") << c.what;
        EXPECT_EQ(w->Button3->text(), "Connect") << c.what;
        EXPECT_TRUE(w->logEntries().empty()) << c.what;
        EXPECT_EQ(w->ZQuery1.connection(), nullptr) << c.what;
        // and a correct connect afterwards logs exactly one line
        c.setup(*w);
        w->ComboBox1->setCurrentText("postgresql");
        w->ZConnection1.libraryNames = db::defaultPqLibraryNames();
        w->edit7->setText("pinecrest");
        w->edit8->setText(QString::number(port));
        w->Button3->click();
        EXPECT_EQ(w.logged(), std::vector<std::string>{"Connected To : win_test"}) << c.what;
    }
}

TEST_F(Window, PortTextThatIsNoNumberMeansTheDefaultPort)
{
    f->edit8->setText("abc");
    f->Button3->click();
    EXPECT_EQ(f->ZConnection1.port, 0);
    // 5432 is not the test cluster's port, so the refusal names it.
    EXPECT_NE(f.lastError().find("port 5432 failed"), std::string::npos) << f.lastError();
}

TEST_F(Window, EditsToTheConfigBoxWaitForTheNextConnect)
{
    f->Button3->click();
    f->edit2->setText("postgres");
    f->Button3->click();  // disconnect
    f->DoSqlQuery(&f->ZQuery3, "select 1");  // connects on demand with the copied values
    EXPECT_EQ(f.logged().back(), "win_test : select 1");
    EXPECT_EQ(f.logged()[2], "Connected To : win_test");
}

TEST_F(Window, ExitWhileConnectedWritesNothingAndEndsTheLoop)
{
    f->Button3->click();
    const auto before = f->logEntries();
    f->BitBtn1->click();
    EXPECT_TRUE(f->exitRequested());
    EXPECT_FALSE(f->ZConnection1.connected());
    EXPECT_EQ(f->logEntries(), before);
    EXPECT_EQ(f->cxLabel1->text(), "Connected");
}

TEST_F(Window, ACloseRequestTakesTheExitWay)
{
    f->Button3->click();
    const auto before = f->logEntries();
    EXPECT_TRUE(f->close());
    EXPECT_TRUE(f->exitRequested());
    EXPECT_FALSE(f->ZConnection1.connected());
    EXPECT_EQ(f->logEntries(), before);
    EXPECT_EQ(f->Button3->text(), "Disconnect");
}

TEST_F(Window, DestroyingTheWindowWhileConnectedRunsNoHandler)
{
    auto w = std::make_unique<FormUnderTest>("win_test");
    (*w)->Button3->click();
    ASSERT_TRUE((*w)->ZConnection1.connected());
    w.reset();  // would crash or log into a destroyed memo if the handler ran
    SUCCEED();
}
