#include "tform1.h"

#include "app/pictures.h"
#include "db/errors.h"
#include "db/text_number.h"
#include "settings/load_statements.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

using editing::GridColumn;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QString& t) { return t.toStdString(); }

template <typename W>
W* place(W* w, const char* name, int x, int y, int width, int height)
{
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(x, y, width, height > 0 ? height : w->sizeHint().height());
    return w;
}

// A text field with its caption 3 pixels above it.
QLineEdit* labeledEdit(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h)
{
    auto* edit = place(new QLineEdit(parent), name, x, y, w, h);
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name) + ".EditLabel");
    label->setBuddy(edit);
    label->setGeometry(x, y - 3 - 13, label->sizeHint().width(), 13);
    return edit;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h = 17)
{
    return place(new QCheckBox(caption, parent), name, x, y, w, h);
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h)
{
    return place(new QPushButton(caption, parent), name, x, y, w, h);
}

QGroupBox* groupBox(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h)
{
    return place(new QGroupBox(caption, parent), name, x, y, w, h);
}

void colourLabel(QLabel* label, QColor background)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, background);
    pal.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(pal);
    label->setAutoFillBackground(true);
}

// Sets a list's selected index; a number outside its items selects nothing.
void selectIndex(QComboBox* box, int index)
{
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

QString applicationTitleText()
{
    return q(app::applicationTitle(s(QCoreApplication::applicationFilePath())));
}

// Runs `restore` on every way out of a scope.
template <typename F>
struct ScopeExit {
    F restore;
    ~ScopeExit() { restore(); }
};
template <typename F>
ScopeExit(F) -> ScopeExit<F>;

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent)
{
    setObjectName("Form1");
    setWindowTitle("Form1");
    setWindowIcon(app::programIcon());
    // A title bar, but no window menu and so no title-bar buttons.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    // Where "MS Sans Serif" is missing, a face of Arial's metrics keeps the
    // captions within the places laid out for it.
    QFont f;
    f.setFamilies({"MS Sans Serif", "Liberation Sans", "Arial", "DejaVu Sans Condensed", "DejaVu Sans"});
    f.setPixelSize(11);
    setFont(f);
    buildWindow();
    buildGrid();
    wireEvents();
    move(82, 163);
    resize(1297, 644);

    showMessage = [this](const QString& title, const QString& text, bool isError) {
        QMessageBox box(isError ? QMessageBox::Critical : QMessageBox::NoIcon, title, text, QMessageBox::Ok, this);
        box.exec();
    };
}

TForm1::~TForm1()
{
    // Nothing may reach the controls while they are being destroyed.
    ZConnection1.afterConnect = nullptr;
    ZConnection1.afterDisconnect = nullptr;
    v_query->OnFocusedRecordChanged = nullptr;
    ZQuery2.onReset = nullptr;
    ZQuery2.onMove = nullptr;
    v_query->setModel(nullptr);
}

void TForm1::buildWindow()
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setFixedHeight(215);
    outer->addWidget(Panel1);

    cxGroupBox1 = groupBox(Panel1, "cxGroupBox1", "Config", 3, 2, 161, 190);
    cxLabel1 = place(new QLabel("Not Connected", cxGroupBox1), "cxLabel1", 6, 15, 149, 17);
    cxLabel1->setAlignment(Qt::AlignCenter);
    cxLabel1->setFrameStyle(QFrame::Box | QFrame::Plain);
    colourLabel(cxLabel1, cxGroupBox1->palette().color(QPalette::Window));
    edit1 = place(new QLineEdit("localhost", cxGroupBox1), "edit1", 6, 34, 149, 0);
    edit2 = place(new QLineEdit("tq4_marrowdene", cxGroupBox1), "edit2", 6, 54, 149, 0);
    edit6 = place(new QLineEdit("postgres", cxGroupBox1), "edit6", 6, 74, 149, 0);
    edit7 = place(new QLineEdit("pinecrest", cxGroupBox1), "edit7", 6, 94, 149, 0);
    edit7->setEchoMode(QLineEdit::Password);
    edit8 = place(new QLineEdit("5435", cxGroupBox1), "edit8", 6, 114, 149, 0);
    for (QLineEdit* e : {edit1, edit2, edit6, edit7, edit8})
        e->resize(149, 20);
    ComboBox1 = place(new QComboBox(cxGroupBox1), "ComboBox1", 6, 134, 149, 21);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->addItems({"ado", "firebird-1.0", "firebird-1.5", "interbase-5", "interbase-6", "mssql", "mysql",
                         "mysql-3.20", "mysql-3.23", "mysql-4.0", "postgresql", "postgresql-6.5", "postgresql-7.2",
                         "postgresql-7.3", "sybase"});
    ComboBox1->setCurrentText("postgresql");
    Button3 = button(cxGroupBox1, "Button3", "Connect", 7, 157, 147, 25);
    Button3->setIcon(app::connectPicture());

    cxButton1 = button(Panel1, "cxButton1", "Get SMTP Settings", 168, 8, 204, 41);

    GroupBox2 = groupBox(Panel1, "GroupBox2", "Default Values", 816, 3, 465, 196);
    LabeledEdit2 = labeledEdit(GroupBox2, "LabeledEdit2", "From Address", 8, 35, 169, 21);
    LabeledEdit3 = labeledEdit(GroupBox2, "LabeledEdit3", "Default Subject", 8, 164, 169, 21);
    edtReplyTo = labeledEdit(GroupBox2, "edtReplyTo", "Default Reply-To Address", 8, 80, 169, 21);
    edtBCC = labeledEdit(GroupBox2, "edtBCC", "Default BCC Address", 8, 123, 169, 21);
    ReplytoUserCheck = checkBox(GroupBox2, "ReplytoUserCheck", "Reply to User Email", 181, 158, 126);
    memBody = place(new QPlainTextEdit(GroupBox2), "memBody", 182, 23, 279, 137);
    memBody->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memBody->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memBody->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memBody->setTabChangesFocus(true);
    cxButton6 = button(GroupBox2, "cxButton6", "Apply to ALL Checked", 322, 166, 137, 25);
    cxCheckBox1 = checkBox(GroupBox2, "cxCheckBox1", "Y/N", 80, 14, 52);
    cxCheckBox2 = checkBox(GroupBox2, "cxCheckBox2", "Y/N", 131, 59, 52);
    cxCheckBox3 = checkBox(GroupBox2, "cxCheckBox3", "Y/N", 123, 103, 52);
    cxCheckBox4 = checkBox(GroupBox2, "cxCheckBox4", "Y/N", 87, 144, 52);
    cxCheckBox5 = checkBox(GroupBox2, "cxCheckBox5", "Y/N", 199, 173, 52);
    cxCheckBox6 = checkBox(GroupBox2, "cxCheckBox6", "Y/N", 407, 4, 52);

    cxButton2 = button(Panel1, "cxButton2", "Apply Settings to ALL Checked", 165, 150, 204, 41);
    cxButton2->hide();
    cxButton3 = button(Panel1, "cxButton3", "Apply Settings to Current Record", 165, 107, 204, 41);
    cxLabel2 = place(new QLabel(Panel1), "cxLabel2", 164, 88, 206, 17);
    cxLabel2->setAlignment(Qt::AlignCenter);
    cxLabel2->setFrameStyle(QFrame::Box | QFrame::Plain);
    colourLabel(cxLabel2, QColor(0, 0, 128));

    GroupBox4 = groupBox(Panel1, "GroupBox4", "SMTP", 378, 2, 428, 207);
    GroupBox3 = groupBox(GroupBox4, "GroupBox3", "Server Settings", 6, 18, 208, 183);
    GroupBox1 = groupBox(GroupBox4, "GroupBox1", "Authentication", 218, 18, 207, 125);
    cxButton5 = button(GroupBox4, "cxButton5", "Apply to ALL Checked", 280, 160, 137, 25);
    LabeledEdit1 = labeledEdit(GroupBox3, "LabeledEdit1", "SMTP Server", 5, 31, 169, 21);
    LabeledEdit4 = labeledEdit(GroupBox3, "LabeledEdit4", "Port", 5, 70, 169, 21);
    SSLCheck = checkBox(GroupBox3, "SSLCheck", "Use SSL", 5, 93, 177);
    SSLCombo = place(new QComboBox(GroupBox3), "SSLCombo", 5, 110, 145, 21);
    SSLCombo->addItems(editing::sslTypeNames());
    SSLCombo->setCurrentIndex(-1);
    Label1 = place(new QLabel("TLS", GroupBox3), "Label1", 5, 136, 20, 13);
    TLSCombo = place(new QComboBox(GroupBox3), "TLSCombo", 5, 154, 145, 21);
    TLSCombo->addItems({"None", "Implicit ", "Require ", "Explicit"});
    TLSCombo->setCurrentIndex(-1);
    Label1->setBuddy(TLSCombo);
    authCheck = checkBox(GroupBox1, "authCheck", "Use Authentication", 3, 14, 177);
    LabeledEdit5 = labeledEdit(GroupBox1, "LabeledEdit5", "User name", 3, 47, 169, 21);
    LabeledEdit6 = labeledEdit(GroupBox1, "LabeledEdit6", "Password", 3, 87, 169, 21);
    LabeledEdit6->setEchoMode(QLineEdit::Password);

    cxPageControl1 = new QTabWidget(this);
    cxPageControl1->setObjectName("cxPageControl1");
    outer->addWidget(cxPageControl1, 1);
    cxTabSheet1 = new QWidget;
    cxTabSheet1->setObjectName("cxTabSheet1");
    cxTabSheet2 = new QWidget;
    cxTabSheet2->setObjectName("cxTabSheet2");
    cxPageControl1->addTab(cxTabSheet1, "SMTP Settings");
    cxPageControl1->addTab(cxTabSheet2, "Log");
    cxPageControl1->setCurrentIndex(0);
    Memo2 = new QPlainTextEdit(cxTabSheet2);
    Memo2->setObjectName("Memo2");
    Memo2->setReadOnly(true);
    Memo2->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* logLayout = new QVBoxLayout(cxTabSheet2);
    logLayout->setContentsMargins(0, 0, 0, 0);
    logLayout->addWidget(Memo2);

    Panel2 = new QFrame(this);
    Panel2->setObjectName("Panel2");
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel2->setFixedHeight(61);
    outer->addWidget(Panel2);
    BitBtn1 = button(Panel2, "BitBtn1", "Exit", 1182, 8, 97, 41);
    BitBtn1->setIcon(app::exitPicture());
    cxProgressBar1 = place(new QProgressBar(Panel2), "cxProgressBar1", 8, 24, 457, 17);
    cxProgressBar1->setTextVisible(false);
    cxProgressBar1->hide();
    cxButton4 = button(Panel2, "cxButton4", "Set values on DB as Displayed in Grid", 608, 12, 225, 41);
    Panel2->installEventFilter(this);

    // Only push buttons, fields, lists and boxes take the focus; in this order.
    QWidget* order[] = {ComboBox1, edit1, edit2, edit6, edit7, edit8, Button3, cxButton1,
                        LabeledEdit2, LabeledEdit3, edtReplyTo, edtBCC, ReplytoUserCheck, memBody, cxButton6,
                        cxCheckBox1, cxCheckBox2, cxCheckBox3, cxCheckBox4, cxCheckBox5, cxCheckBox6,
                        cxButton2, cxButton3, LabeledEdit1, LabeledEdit4, SSLCheck, SSLCombo, TLSCombo,
                        authCheck, LabeledEdit5, LabeledEdit6, cxButton5, cxPageControl1};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);
}

void TForm1::buildGrid()
{
    using E = GridColumn::Editor;
    cxEditRepository1 = new QObject(this);
    cxEditRepository1->setObjectName("cxEditRepository1");
    cxEditRepository1CheckBoxItem1 = new QObject(cxEditRepository1);
    cxEditRepository1CheckBoxItem1->setObjectName("cxEditRepository1CheckBoxItem1");
    cxEditRepository1MemoItem1 = new QObject(cxEditRepository1);
    cxEditRepository1MemoItem1->setObjectName("cxEditRepository1MemoItem1");
    cxEditRepository1ImageComboBoxItem1 = new QObject(cxEditRepository1);
    cxEditRepository1ImageComboBoxItem1->setObjectName("cxEditRepository1ImageComboBoxItem1");

    cxGrid1 = new QWidget(cxTabSheet1);
    cxGrid1->setObjectName("cxGrid1");
    auto* tabLayout = new QVBoxLayout(cxTabSheet1);
    tabLayout->setContentsMargins(0, 0, 0, 0);
    tabLayout->addWidget(cxGrid1);
    v_query = new editing::GridView(cxGrid1);
    v_query->setObjectName("v_query");
    auto* gridLayout = new QVBoxLayout(cxGrid1);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->addWidget(v_query);
    cxGrid1Level1 = new QObject(cxGrid1);
    cxGrid1Level1->setObjectName("cxGrid1Level1");

    auto* c = v_query;
    v_query_update = new GridColumn(c, "v_query_update", "_update", "Update DB", 78, E::CheckBox, true);
    v_query_entity = new GridColumn(c, "v_query_entity", "_entity", "Entity", 54, E::Text, false);
    v_queryColumn1 = new GridColumn(c, "v_queryColumn1", "_mpynaam", "Description", 0, E::Text, true);
    v_querysmtp_host = new GridColumn(c, "v_querysmtp_host", "smtp_host", "", 70, E::Memo, false);
    v_querysmtp_from = new GridColumn(c, "v_querysmtp_from", "smtp_from", "", 70, E::Memo, false);
    v_querysmtp_subject = new GridColumn(c, "v_querysmtp_subject", "smtp_subject", "", 84, E::Memo, false);
    v_querysmtp_port = new GridColumn(c, "v_querysmtp_port", "smtp_port", "", 68, E::Memo, false);
    v_querysmtp_username = new GridColumn(c, "v_querysmtp_username", "smtp_username", "", 96, E::Memo, false);
    v_querysmtp_password = new GridColumn(c, "v_querysmtp_password", "smtp_password", "", 95, E::Memo, false);
    v_querysmtp_smtpauth = new GridColumn(c, "v_querysmtp_smtpauth", "smtp_smtpauth", "", 93, E::CheckBox, false);
    v_querysmtp_body = new GridColumn(c, "v_querysmtp_body", "smtp_body", "", 73, E::Memo, false);
    v_querysmtp_usessl = new GridColumn(c, "v_querysmtp_usessl", "smtp_usessl", "", 79, E::CheckBox, false);
    v_querysmtp_ssltype = new GridColumn(c, "v_querysmtp_ssltype", "smtp_ssltype", "", 82, E::SslCombo, false);
    v_querysmtp_tls_tp = new GridColumn(c, "v_querysmtp_tls_tp", "SMTP_TLSType", "", 0, E::TlsCombo, true);
    v_querysmtp_bcc = new GridColumn(c, "v_querysmtp_bcc", "smtp_bcc", "", 68, E::Memo, false);
    v_querysmtp_replyto = new GridColumn(c, "v_querysmtp_replyto", "smtp_replyto", "", 81, E::Memo, false);
    v_querysmtp_replytouser =
        new GridColumn(c, "v_querysmtp_replytouser", "smtp_replytouser", "", 101, E::CheckBox, false);
    const std::vector<GridColumn*> columns{
        v_query_update,       v_query_entity,      v_queryColumn1,      v_querysmtp_host,
        v_querysmtp_from,     v_querysmtp_subject, v_querysmtp_port,    v_querysmtp_username,
        v_querysmtp_password, v_querysmtp_smtpauth, v_querysmtp_body,   v_querysmtp_usessl,
        v_querysmtp_ssltype,  v_querysmtp_tls_tp,  v_querysmtp_bcc,     v_querysmtp_replyto,
        v_querysmtp_replytouser};

    ZConnection1.bind(ZQuery2);
    ZConnection1.bind(ZQuery3);
    ZQuery2.sql = "select * from smtp_stuff order by _entity";
    ZQuery3.sql = "select * from smtp_stuff order by _entity";

    DataSource1 = new editing::GridDataSource(this, ZQuery2, columns);
    DataSource1->onEdit = [this](int row, int field, const std::optional<std::string>& v) {
        bool ok = false;
        guarded([&] { ok = writeGridEdit(row, field, v); });
        return ok;
    };
    v_query->setModel(DataSource1);
    v_query->setSelectionBehavior(QAbstractItemView::SelectRows);
    v_query->setSelectionMode(QAbstractItemView::SingleSelection);
    v_query->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked
                             | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    v_query->setWordWrap(false);
    v_query->verticalHeader()->setDefaultSectionSize(v_query->fontMetrics().height() + 6);
    v_query->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    v_query->setItemDelegateForColumn(13, new editing::TlsComboDelegate(v_query));
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i]->width > 0)
            v_query->setColumnWidth(int(i), columns[i]->width);

    PopupMenu1 = new QMenu(v_query);
    PopupMenu1->setObjectName("PopupMenu1");
    CheckAll1 = PopupMenu1->addAction("Check All");
    CheckAll1->setObjectName("CheckAll1");
    UnCheckAll1 = PopupMenu1->addAction("UnCheck All");
    UnCheckAll1->setObjectName("UnCheckAll1");
    v_query->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(v_query, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu1->popup(v_query->viewport()->mapToGlobal(pos)); });

    ZQuery2.onReset = [this] {
        // A refresh that keeps the cursor's row keeps the grid's focus, so
        // editors the user has typed into are not overwritten by it.
        if (const QModelIndex i = v_query->currentIndex(); i.isValid())
            focusBeforeReset_ = {i.row(), i.column()};
        DataSource1->datasetReset();
    };
    ZQuery2.onMove = [this](int row) { onDatasetMoved(row); };
    connect(v_query->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                if (current.isValid())
                    onGridCurrentRowChanged(current.row());
            });
    attachFocusFollowing();
}

void TForm1::wireEvents()
{
    ZConnection1.afterConnect = [this] { ZConnection1AfterConnect(); };
    ZConnection1.afterDisconnect = [this] { ZConnection1AfterDisconnect(); };
    auto on = [this](QPushButton* b, void (TForm1::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] { guarded([&] { (this->*handler)(); }); });
    };
    on(Button3, &TForm1::Button3Click);
    on(BitBtn1, &TForm1::BitBtn1Click);
    on(cxButton1, &TForm1::cxButton1Click);
    on(cxButton3, &TForm1::cxButton3Click);
    on(cxButton2, &TForm1::cxButton2Click);
    on(cxButton4, &TForm1::cxButton4Click);
    on(cxButton5, &TForm1::cxButton5Click);
    on(cxButton6, &TForm1::cxButton6Click);
    connect(CheckAll1, &QAction::triggered, this, [this] { guarded([this] { CheckAll1Click(); }); });
    connect(UnCheckAll1, &QAction::triggered, this, [this] { guarded([this] { UnCheckAll1Click(); }); });
}

void TForm1::guarded(const std::function<void()>& handler)
{
    try {
        handler();
        flushLog();
    } catch (const std::exception& e) {
        flushLog();
        showMessage(applicationTitleText(), q(app::errorBoxText(e.what())), true);
    } catch (...) {
        flushLog();
        showMessage(applicationTitleText(), q(app::errorBoxText("Unknown error")), true);
    }
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // A close from the desktop takes the same way out as the Exit button.
    if (!exitRequested_)
        guarded([this] { BitBtn1Click(); });
    if (exitRequested_)
        event->accept();
    else
        event->ignore();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Panel2 && event->type() == QEvent::Resize)
        BitBtn1->move(Panel2->width() - 18 - BitBtn1->width(), Panel2->height() - 12 - BitBtn1->height());
    return QWidget::eventFilter(watched, event);
}

// ---- Log -------------------------------------------------------------------

void TForm1::AddLog(const std::string& text)
{
    AddLogs({text}, false);
}

void TForm1::AddLogs(const std::vector<std::string>& texts, bool deferred)
{
    for (const auto& text : texts) {
        std::string entry = app::logEntry(clock(), text);
        if (!pendingLog_.isEmpty())
            pendingLog_ += '\n';
        pendingLog_ += q(entry);
        logEntries_.push_back(std::move(entry));
    }
    if (!deferred)
        flushLog();
}

void TForm1::flushLog()
{
    // One append for many entries: the memo lays out once, not once per entry.
    if (pendingLog_.isEmpty())
        return;
    Memo2->appendPlainText(pendingLog_);
    pendingLog_.clear();
}

// ---- Connection ------------------------------------------------------------

void TForm1::Button3Click()
{
    ConnectToDatabase(!ZConnection1.connected());
}

void TForm1::ConnectToDatabase(bool connect)
{
    ZConnection1.setConnected(false);
    if (!connect)
        return;
    ZConnection1.hostName = s(edit1->text());
    ZConnection1.database = s(edit2->text());
    ZConnection1.user = s(edit6->text());
    ZConnection1.password = s(edit7->text());
    ZConnection1.port = db::parsePortText(s(edit8->text()));
    ZConnection1.protocol = s(ComboBox1->currentText());
    ZConnection1.setConnected(true);
    ZConnection1.bind(ZQuery1);
    ZConnection1.bind(ZQuery2);
}

void TForm1::ZConnection1AfterConnect()
{
    cxLabel1->setText("Connected");
    colourLabel(cxLabel1, QColor(0, 128, 0));
    cxLabel1->repaint();
    Button3->setText("Disconnect");
    AddLog("Connected To : " + ZConnection1.database);
}

void TForm1::ZConnection1AfterDisconnect()
{
    cxLabel1->setText("Disconnected");
    colourLabel(cxLabel1, QColor(255, 0, 0));
    cxLabel1->repaint();
    Button3->setText("Connect");
    AddLog("Disconnected From : " + ZConnection1.database);
}

void TForm1::BitBtn1Click()
{
    ZConnection1.afterDisconnect = nullptr;
    ZConnection1.setConnected(false);
    exitRequested_ = true;
    QCoreApplication::quit();
}

// ---- Statement runner ------------------------------------------------------

void TForm1::DoSqlQuery(db::Dataset* dataset, const std::string& text)
{
    if (!dataset) {
        showMessage(applicationTitleText(), "DoSqlQuery - nil query", false);
        return;
    }
    db::Connection* conn = connectFor(*dataset);
    if (!conn)
        return;
    dataset->close();
    dataset->sql = text;
    dataset->open();
    AddLog(conn->database + " : " + text);
}

db::Connection* TForm1::connectFor(db::Dataset& dataset)
{
    if (!dataset.connection())
        ZConnection1.bind(dataset);
    db::Connection& conn = *dataset.connection();
    if (!conn.connected())
        conn.connect();
    return conn.connected() ? &conn : nullptr;
}

void TForm1::DoSqlBatch(db::Dataset* dataset, const std::vector<std::string>& texts)
{
    if (!dataset) {
        showMessage(applicationTitleText(), "DoSqlQuery - nil query", false);
        return;
    }
    db::Connection* conn = connectFor(*dataset);
    if (!conn || texts.empty())
        return;
    dataset->close();
    dataset->openBatch(texts);
    std::vector<std::string> lines;
    lines.reserve(texts.size());
    for (const auto& text : texts)
        lines.push_back(conn->database + " : " + text);
    AddLogs(lines, true);
}

// ---- Load ------------------------------------------------------------------

void TForm1::cxButton1Click()
{
    GetSmtpSettings();
}

void TForm1::stepProgress()
{
    // Repainting costs far more than the step; only when the fill moves.
    const int max = cxProgressBar1->maximum();
    const int fill = max > 0 ? int(qint64(cxProgressBar1->value()) * cxProgressBar1->width() / max) : 0;
    if (fill != drawnFill_) {
        drawnFill_ = fill;
        flushLog();
        cxProgressBar1->repaint();
    }
}

void TForm1::GetSmtpSettings()
{
    v_query->OnFocusedRecordChanged = nullptr;
    // However the load ends, the editors follow the grid again and the bar goes.
    ScopeExit restore{[this] {
        cxProgressBar1->setValue(0);
        cxProgressBar1->hide();
        attachFocusFollowing();
    }};

    if (!ZQuery1.connection())
        ZConnection1.bind(ZQuery1);
    if (!ZConnection1.connected())
        ZConnection1.connect();  // the script's text depends on the server's version
    DoSqlQuery(&ZQuery1, settings::rebuildScript(ZConnection1.serverVersion()));
    // Every update finds its row by entity; without an index each one reads the whole table.
    DoSqlQuery(&ZQuery1, std::string(settings::kEntityIndex));
    DoSqlQuery(&ZQuery1, settings::toggleRead());

    ZQuery1.first();
    cxProgressBar1->setMaximum(ZQuery1.recordCount());
    cxProgressBar1->setValue(0);
    cxProgressBar1->show();
    drawnFill_ = -1;
    repaint();
    // The updates go in pipelined chunks: one round trip and one commit per
    // chunk instead of per toggle. A chunk that fails takes no effect and
    // logs nothing; the chunks before it stay done.
    constexpr std::size_t kChunk = 256;
    std::vector<std::string> chunk;
    int rowsInChunk = 0;
    auto flush = [&] {
        DoSqlBatch(&ZQuery2, chunk);
        chunk.clear();
        cxProgressBar1->setValue(cxProgressBar1->value() + rowsInChunk);
        rowsInChunk = 0;
        stepProgress();
    };
    const int idField = ZQuery1.fieldIndex("toggleid");
    const int valueField = ZQuery1.fieldIndex("togglevalue");
    const int entityField = ZQuery1.fieldIndex("entity");
    for (int row = 0, n = ZQuery1.recordCount(); row < n; ++row) {
        std::string update = settings::perToggleUpdate(ZQuery1.text(row, idField), ZQuery1.text(row, valueField),
                                                       ZQuery1.text(row, entityField));
        if (!update.empty())
            chunk.push_back(std::move(update));
        ++rowsInChunk;
        if (chunk.size() == kChunk)
            flush();
    }
    flush();
    while (!ZQuery1.eof())
        ZQuery1.next();
    cxProgressBar1->setValue(0);
    cxProgressBar1->hide();
    DoSqlQuery(&ZQuery2, std::string(settings::kGridQuery));
    v_query->resizeColumnsToContents();
}

// ---- Grid and editors ------------------------------------------------------

void TForm1::attachFocusFollowing()
{
    // The grid's focus catches up with the cursor before the editors follow again.
    if (ZQuery2.active())
        syncGridTo(ZQuery2.recNo());
    v_query->OnFocusedRecordChanged = [this] { v_queryFocusedRecordChanged(); };
}

void TForm1::onDatasetMoved(int row)
{
    // The grid's focus follows the dataset's cursor; while the editors do not
    // follow (a load or a walk), it catches up at the end instead of per row.
    if (v_query->OnFocusedRecordChanged)
        syncGridTo(row);
}

void TForm1::syncGridTo(int row)
{
    const QModelIndex current = v_query->currentIndex();
    const auto [beforeRow, beforeColumn] = std::exchange(focusBeforeReset_, {-1, -1});
    if (row < 0 || (current.isValid() && current.row() == row))
        return;
    syncingGrid_ = true;
    sameRowAgain_ = !current.isValid() && beforeRow == row;
    const int column = current.isValid() ? current.column() : std::max(0, beforeColumn);
    v_query->selectionModel()->setCurrentIndex(DataSource1->index(row, column),
                                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    syncingGrid_ = false;
    sameRowAgain_ = false;
}

void TForm1::onGridCurrentRowChanged(int row)
{
    if (!syncingGrid_ && ZQuery2.active())
        ZQuery2.moveTo(row);
    if (std::exchange(sameRowAgain_, false))
        return;
    if (v_query->OnFocusedRecordChanged && ZQuery2.active() && ZQuery2.recordCount() > 0) {
        auto handler = v_query->OnFocusedRecordChanged;
        guarded(handler);
    }
}

void TForm1::v_queryFocusedRecordChanged()
{
    edtBCC->setText(q(ZQuery2.asText("SMTP_BCC")));
    edtReplyTo->setText(q(ZQuery2.asText("SMTP_ReplyTo")));
    LabeledEdit1->setText(q(ZQuery2.asText("SMTP_Host")));
    LabeledEdit2->setText(q(ZQuery2.asText("SMTP_From")));
    LabeledEdit3->setText(q(ZQuery2.asText("SMTP_Subject")));
    LabeledEdit4->setText(q(ZQuery2.asText("SMTP_Port")));
    LabeledEdit5->setText(q(ZQuery2.asText("SMTP_Username")));
    LabeledEdit6->setText(q(ZQuery2.asText("SMTP_Password")));
    authCheck->setChecked(ZQuery2.asBoolean("SMTP_smtpAuth"));
    SSLCheck->setChecked(ZQuery2.asBoolean("SMTP_UseSSL"));
    // A bad SSL type must not leave the editors showing two companies at once:
    // fill everything, then report it.
    std::string sslError;
    try {
        selectIndex(SSLCombo, ZQuery2.asInteger("SMTP_SSLType"));
    } catch (const db::DbError& e) {
        SSLCombo->setCurrentIndex(-1);
        sslError = e.what();
    }
    selectIndex(TLSCombo, ZQuery2.asInteger("SMTP_TLSType"));
    ReplytoUserCheck->setChecked(ZQuery2.asBoolean("SMTP_ReplyToUSer"));
    memBody->setPlainText(q(ZQuery2.asText("SMTP_body")));
    cxLabel2->setText(q("Selected Entity : " + ZQuery2.asText("_entity")));
    if (!sslError.empty())
        throw db::DbError(sslError);
}

bool TForm1::writeGridEdit(int row, int field, const std::optional<std::string>& value)
{
    // The table has no key: the entity names the row.
    const auto entity = ZQuery2.value(row, ZQuery2.fieldIndex("_entity"));
    if (!entity)
        throw db::DbError("ZQuery2: the row has no entity and cannot be changed");
    const auto n = db::parseInt32(*entity);
    ZConnection1.exec(editing::gridEditStatement(ZQuery2.fieldName(field), value, n.value_or(0)));
    return true;
}

void TForm1::CheckAll1Click()
{
    DoSqlQuery(&ZQuery3, std::string(editing::kCheckAll));
    ZQuery2.refresh();
}

void TForm1::UnCheckAll1Click()
{
    DoSqlQuery(&ZQuery3, std::string(editing::kUnCheckAll));
    ZQuery2.refresh();
}

// ---- Apply -----------------------------------------------------------------

editing::EditorValues TForm1::editorValues() const
{
    editing::EditorValues v;
    v.host = s(LabeledEdit1->text());
    v.port = s(LabeledEdit4->text());
    v.username = s(LabeledEdit5->text());
    v.password = s(LabeledEdit6->text());
    v.smtpAuth = authCheck->isChecked();
    v.useSsl = SSLCheck->isChecked();
    v.sslIndex = SSLCombo->currentIndex();
    v.tlsIndex = TLSCombo->currentIndex();
    v.from = s(LabeledEdit2->text());
    v.replyTo = s(edtReplyTo->text());
    v.bcc = s(edtBCC->text());
    v.subject = s(LabeledEdit3->text());
    v.replyToUser = ReplytoUserCheck->isChecked();
    v.body = s(memBody->toPlainText());
    v.yn = {cxCheckBox1->isChecked(), cxCheckBox2->isChecked(), cxCheckBox3->isChecked(),
            cxCheckBox4->isChecked(), cxCheckBox5->isChecked(), cxCheckBox6->isChecked()};
    return v;
}

void TForm1::ApplyAllSettings(int entity)
{
    DoSqlQuery(&ZQuery3, editing::applyAllStatement(editorValues(), entity));
}

void TForm1::ApplyServerSettings(int entity)
{
    DoSqlQuery(&ZQuery3, editing::applyServerStatement(editorValues(), entity));
}

void TForm1::ApplyDefaultValues(int entity)
{
    if (!ZConnection1.connected())
        ZConnection1.connect();  // the one-box form depends on the server's version
    const auto text = editing::applyDefaultsStatement(editorValues(), entity, ZConnection1.serverVersion());
    if (!text)
        throw db::DbError(std::string(editing::kNoDefaultChosen));
    DoSqlQuery(&ZQuery3, *text);
}

std::string TForm1::StripTrailing(const std::string& text, const std::string& separator)
{
    return editing::StripTrailing(text, separator);
}

void TForm1::cxButton3Click()
{
    ApplyAllSettings(ZQuery2.asInteger("_entity"));
    ZQuery2.refresh();
}

void TForm1::walkTicked(void (TForm1::*perRow)(int))
{
    v_query->OnFocusedRecordChanged = nullptr;
    ScopeExit reattach{[this] { attachFocusFollowing(); }};
    ZQuery2.first();
    while (!ZQuery2.eof()) {
        if (ZQuery2.asBoolean("_update"))
            (this->*perRow)(ZQuery2.asInteger("_entity"));
        ZQuery2.next();
    }
    ZQuery2.refresh();
}

void TForm1::cxButton2Click() { walkTicked(&TForm1::ApplyAllSettings); }
void TForm1::cxButton5Click() { walkTicked(&TForm1::ApplyServerSettings); }
void TForm1::cxButton6Click() { walkTicked(&TForm1::ApplyDefaultValues); }
void TForm1::cxButton4Click() { walkTicked(&TForm1::WriteEntityToggles); }

// ---- Write-back ------------------------------------------------------------

void TForm1::WriteEntityToggles(int entity)
{
    // A company's calls take effect together or not at all: never a new
    // server with the old port.
    std::vector<std::string> calls;
    for (int i = 0, n = ZQuery2.fieldCount(); i < n; ++i) {
        std::string name = ZQuery2.fieldName(i);
        std::string upper = name;
        for (char& c : upper)
            if (c >= 'a' && c <= 'z')
                c = char(c - 'a' + 'A');
        if (upper.find("SMTP") == std::string::npos)
            continue;
        calls.push_back(editing::writeBackCall(entity, name, ZQuery2.asText(name)));
    }
    DoSqlBatch(&ZQuery3, calls);
}
