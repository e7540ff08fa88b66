#pragma once
#include "app/log_format.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "editing/apply_statements.h"
#include "editing/grid_model.h"

#include <QWidget>

#include <functional>
#include <string>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;

// The main window. It owns every control and component and is the home of
// every operation of the tool.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    db::Connection ZConnection1{"ZConnection1"};
    QFrame* Panel1;
    QGroupBox* cxGroupBox1;
    QLabel* cxLabel1;
    QComboBox* ComboBox1;
    QLineEdit *edit1, *edit2, *edit6, *edit7, *edit8;
    QPushButton* Button3;
    QTabWidget* cxPageControl1;
    QWidget *cxTabSheet1, *cxTabSheet2;
    QPlainTextEdit* Memo2;
    db::Dataset ZQuery1{"ZQuery1"};
    QFrame* Panel2;
    editing::GridView* v_query;
    QObject* cxGrid1Level1;
    QWidget* cxGrid1;
    QPushButton *BitBtn1, *cxButton1;
    db::Dataset ZQuery2{"ZQuery2"};
    editing::GridDataSource* DataSource1;
    QGroupBox* GroupBox2;
    QLineEdit *LabeledEdit3, *LabeledEdit2, *edtReplyTo, *edtBCC;
    QCheckBox* ReplytoUserCheck;
    QPushButton *cxButton2, *cxButton3;
    editing::GridColumn *v_query_entity, *v_query_update, *v_querysmtp_host, *v_querysmtp_from,
        *v_querysmtp_subject, *v_querysmtp_port, *v_querysmtp_username, *v_querysmtp_password,
        *v_querysmtp_smtpauth, *v_querysmtp_body, *v_querysmtp_usessl, *v_querysmtp_ssltype, *v_querysmtp_bcc,
        *v_querysmtp_replyto, *v_querysmtp_replytouser;
    QObject *cxEditRepository1, *cxEditRepository1CheckBoxItem1, *cxEditRepository1MemoItem1,
        *cxEditRepository1ImageComboBoxItem1;
    QPlainTextEdit* memBody;
    QLabel* cxLabel2;
    QProgressBar* cxProgressBar1;
    db::Dataset ZQuery3{"ZQuery3"};
    QPushButton* cxButton4;
    editing::GridColumn* v_queryColumn1;
    QMenu* PopupMenu1;
    QAction *CheckAll1, *UnCheckAll1;
    QGroupBox *GroupBox4, *GroupBox3;
    QLineEdit *LabeledEdit1, *LabeledEdit4;
    QCheckBox* SSLCheck;
    QComboBox* SSLCombo;
    QGroupBox* GroupBox1;
    QCheckBox* authCheck;
    QLineEdit *LabeledEdit5, *LabeledEdit6;
    QPushButton *cxButton5, *cxButton6;
    QCheckBox *cxCheckBox1, *cxCheckBox2, *cxCheckBox3, *cxCheckBox4, *cxCheckBox5, *cxCheckBox6;
    QLabel* Label1;
    QComboBox* TLSCombo;
    editing::GridColumn* v_querysmtp_tls_tp;

    // Event handlers.
    void ZConnection1AfterConnect();
    void Button3Click();
    void ZConnection1AfterDisconnect();
    void BitBtn1Click();
    void cxButton1Click();
    void v_queryFocusedRecordChanged();
    void cxButton3Click();
    void cxButton2Click();
    void cxButton4Click();
    void CheckAll1Click();
    void UnCheckAll1Click();
    void cxButton5Click();
    void cxButton6Click();

    // Operations.
    void ConnectToDatabase(bool connect);
    void AddLog(const std::string& text);
    // Entries of a batch; `deferred` leaves them for the next flush of the memo.
    void AddLogs(const std::vector<std::string>& texts, bool deferred);
    void flushLog();
    void DoSqlQuery(db::Dataset* dataset, const std::string& text);
    // Like DoSqlQuery for several single statements that take effect together
    // or not at all, in one round trip; each is logged on its own once they have.
    void DoSqlBatch(db::Dataset* dataset, const std::vector<std::string>& texts);
    void GetSmtpSettings();
    void ApplyAllSettings(int entity);
    void ApplyServerSettings(int entity);
    void ApplyDefaultValues(int entity);
    static std::string StripTrailing(const std::string& text, const std::string& separator);
    void WriteEntityToggles(int entity);

    // Runs one event handler; whatever escapes is shown in the error box.
    void guarded(const std::function<void()>& handler);

    // The clock of the log; tests pin it.
    app::Clock clock = app::localNow;
    // Where message and error boxes go; by default a modal box. Tests capture.
    std::function<void(const QString& title, const QString& text, bool isError)> showMessage;
    // The log entries as appended to Memo2, byte for byte.
    const std::vector<std::string>& logEntries() const { return logEntries_; }
    bool exitRequested() const { return exitRequested_; }

    editing::EditorValues editorValues() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    void buildGrid();
    void wireEvents();
    void attachFocusFollowing();
    void onGridCurrentRowChanged(int row);
    void onDatasetMoved(int row);
    void syncGridTo(int row);
    bool writeGridEdit(int row, int field, const std::optional<std::string>& value);
    void walkTicked(void (TForm1::*perRow)(int));
    void stepProgress();
    db::Connection* connectFor(db::Dataset& dataset);

    std::vector<std::string> logEntries_;
    bool exitRequested_ = false;
    bool syncingGrid_ = false;
    int drawnFill_ = -1;
    QString pendingLog_;
    std::pair<int, int> focusBeforeReset_{-1, -1};  // row and column of the grid's focus
    bool sameRowAgain_ = false;
};
