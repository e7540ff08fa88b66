#pragma once
// A real main window wired to the test cluster, with its boxes captured.
#include "app/tform1.h"
#include "db/errors.h"
#include "test_server.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

struct Box {
    std::string title, text;
    bool error;
};

class FormUnderTest {
public:
    explicit FormUnderTest(const std::string& database)
        : form(std::make_unique<TForm1>())
    {
        form->showMessage = [this](const QString& t, const QString& m, bool e) {
            boxes.push_back({t.toStdString(), m.toStdString(), e});
        };
        configure(form->ZConnection1, database);
        form->edit1->setText("127.0.0.1");
        form->edit2->setText(QString::fromStdString(database));
        form->edit8->setText(QString::number(testServer().port));
        form->show();
    }
    TForm1* operator->() const { return form.get(); }
    TForm1& operator*() const { return *form; }

    // Texts of the log entries, without their time stamps.
    std::vector<std::string> logged() const
    {
        std::vector<std::string> out;
        for (const auto& e : form->logEntries())
            out.push_back(e.substr(27));
        return out;
    }
    // Statements that ran, without the "<db> : " prefix, from entry `from` on.
    std::vector<std::string> statements(std::size_t from = 0) const
    {
        std::vector<std::string> out;
        const std::string prefix = form->ZConnection1.database + " : ";
        const auto all = logged();
        for (std::size_t i = from; i < all.size(); ++i)
            if (all[i].rfind(prefix, 0) == 0)
                out.push_back(all[i].substr(prefix.size()));
        return out;
    }
    std::string lastError() const
    {
        for (auto it = boxes.rbegin(); it != boxes.rend(); ++it)
            if (it->error)
                return it->text;
        return "<no error box>";
    }
    void load()
    {
        form->cxButton1->click();
    }
    // Makes `row` the grid's focused row, as a click on it would.
    void focusRow(int row, int column = 1)
    {
        form->v_query->setCurrentIndex(form->v_query->model()->index(row, column));
    }
    int rowOfEntity(int entity) const
    {
        for (int r = 0; r < form->ZQuery2.recordCount(); ++r)
            if (form->ZQuery2.text(r, 0) == std::to_string(entity))
                return r;
        return -1;
    }

    std::unique_ptr<TForm1> form;
    std::vector<Box> boxes;
};

}  // namespace testing_support
