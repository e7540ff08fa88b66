// Load and write-back of N companies: the tool's own way, on the real window
// (offscreen), against one bulk statement doing the same work, on loopback
// and through a proxy that adds a delay each way. Prints a table.
//
//   smtp_bench [--sizes 250,1000,4000] [--runs 3] [--writeback 1000] [--delay-us 500] [--grid 5000]
#include "app/tform1.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "delay_proxy.h"
#include "editing/apply_statements.h"
#include "settings/load_statements.h"
#include "settings/working_table.h"

#include <QApplication>
#include <QPushButton>
#include <QLineEdit>
#include <QPixmap>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string repoRoot = SMTPBENCH_ROOT;
std::string clusterDir;
int serverPort = 0;

std::string sh(const std::string& cmd)
{
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    char buf[256];
    while (p && fgets(buf, sizeof buf, p))
        out += buf;
    if (!p || pclose(p) != 0)
        throw std::runtime_error("failed: " + cmd + "\n" + out);
    while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
        out.pop_back();
    return out;
}

void configure(db::Connection& c, int port)
{
    c.hostName = "127.0.0.1";
    c.port = port;
    c.database = "bench";
    c.user = "postgres";
    c.password = "pinecrest";
}

void adminExec(const std::string& sql)
{
    db::Connection c("admin");
    configure(c, serverPort);
    c.connect();
    c.exec(sql);
}

void seed(int n)
{
    adminExec("truncate lysglb.toggles; delete from lysglb.mpy;"
              "insert into lysglb.mpy (fdid, description) select g, 'Company ' || g from generate_series(1, "
              + std::to_string(n) + ") g;"
              "insert into lysglb.toggles (entity, toggleid, togglevalue) select g, t.id, t.v || "
              "case when t.id in ('SMTP_HOST', 'SMTP_FROM', 'SMTP_USERNAME') then g::text else '' end "
              "from generate_series(1, " + std::to_string(n) + ") g cross join (values "
              "('SMTP_HOST', 'smtp.company'), ('SMTP_FROM', 'office@company'), ('SMTP_SUBJECT', 'Your invoice'),"
              "('SMTP_PORT', '587'), ('SMTP_USERNAME', 'user'), ('SMTP_PASSWORD', 'pw''s'),"
              "('SMTP_SMTPAUTH', '-1'), ('SMTP_BODY', 'Dear customer, please find attached.'),"
              "('SMTP_USESSL', '0'), ('SMTP_SSLTYPE', '1'), ('SMTP_TLSType', '2'), ('SMTP_BCC', 'audit@group'),"
              "('SMTP_REPLYTO', 'reply@company'), ('SMTP_REPLYTOUSER', ''), ('INVOICE_PREFIX', 'INV')) t(id, v);"
              "analyze lysglb.toggles");
}

const char* kBulkFill =
    "update smtp_stuff s set SMTP_Host = t.host, SMTP_From = t.frm, SMTP_Subject = t.subject, SMTP_Port = t.port,"
    " SMTP_Username = t.username, SMTP_Password = t.password, SMTP_smtpAuth = t.auth, SMTP_body = t.body,"
    " SMTP_UseSSL = t.ssl, SMTP_SSLType = t.ssltype, SMTP_TLSType = t.tls, SMTP_BCC = t.bcc,"
    " SMTP_ReplyTo = t.replyto, SMTP_ReplyToUSer = t.replytouser from (select entity,"
    " max(togglevalue) filter (where upper(toggleid) = 'SMTP_HOST') host,"
    " max(togglevalue) filter (where upper(toggleid) = 'SMTP_FROM') frm,"
    " max(togglevalue) filter (where upper(toggleid) = 'SMTP_SUBJECT') subject,"
    " max(togglevalue) filter (where upper(toggleid) = 'SMTP_PORT') port,"
    " max(togglevalue) filter (where upper(toggleid) = 'SMTP_USERNAME') username,"
    " max(togglevalue) filter (where upper(toggleid) = 'SMTP_PASSWORD') password,"
    " coalesce(max(nullif(togglevalue, '')::int) filter (where upper(toggleid) = 'SMTP_SMTPAUTH'), 0) = -1 auth,"
    " max(togglevalue) filter (where upper(toggleid) = 'SMTP_BODY') body,"
    " coalesce(max(nullif(togglevalue, '')::int) filter (where upper(toggleid) = 'SMTP_USESSL'), 0) = -1 ssl,"
    " max(togglevalue) filter (where upper(toggleid) = 'SMTP_SSLTYPE') ssltype,"
    " nullif(max(togglevalue) filter (where upper(toggleid) = 'SMTP_TLSTYPE'), '')::int tls,"
    " max(togglevalue) filter (where upper(toggleid) = 'SMTP_BCC') bcc,"
    " max(togglevalue) filter (where upper(toggleid) = 'SMTP_REPLYTO') replyto,"
    " coalesce(max(nullif(togglevalue, '')::int) filter (where upper(toggleid) = 'SMTP_REPLYTOUSER'), 0) = -1"
    " replytouser from lysglb.toggles where toggleid ilike '%smtp%' group by entity) t where s._entity = t.entity";

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double seconds(const std::function<void()>& f)
{
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

long peakKiB()
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

struct Row {
    std::string what;
    int n;
    std::string link;
    double tool, bulk;
    long peak;
    double cpu;
    std::string note;
};

// One window per case, connected first so that connecting is not timed.
struct Window {
    explicit Window(int port)
    {
        form.showMessage = [](const QString&, const QString& text, bool) {
            std::cerr << "bench: error box: " << text.toStdString() << "\n";
            std::exit(1);
        };
        form.edit1->setText("127.0.0.1");
        form.edit2->setText("bench");
        form.edit8->setText(QString::number(port));
        form.show();
        form.Button3->click();
    }
    TForm1 form;
};

Row benchLoad(int n, int port, const std::string& link, int runs)
{
    std::vector<double> tool, bulk, cpu;
    resetPeak();
    for (int r = 0; r < runs; ++r) {
        Window w(port);
        const double c0 = cpuSeconds();
        tool.push_back(seconds([&] { w.form.cxButton1->click(); }));
        cpu.push_back(cpuSeconds() - c0);
        if (w.form.ZQuery2.recordCount() != n)
            throw std::runtime_error("load gave " + std::to_string(w.form.ZQuery2.recordCount()) + " rows");
    }
    const long peak = peakKiB();
    db::Connection c("bulk");
    configure(c, port);
    c.connect();
    for (int r = 0; r < runs; ++r)
        bulk.push_back(seconds([&] {
            c.exec(settings::rebuildScript(c.serverVersion()));
            c.exec(kBulkFill);
            c.exec(std::string(settings::kGridQuery));
        }));
    return {"load", n, link, median(tool), median(bulk), peak, median(cpu), ""};
}

Row benchWriteBack(int n, int port, const std::string& link, int runs)
{
    std::vector<double> tool, bulk, cpu;
    Window w(port);
    w.form.cxButton1->click();
    w.form.CheckAll1->trigger();
    resetPeak();
    for (int r = 0; r < runs; ++r) {
        const double c0 = cpuSeconds();
        tool.push_back(seconds([&] { w.form.cxButton4->click(); }));
        cpu.push_back(cpuSeconds() - c0);
    }
    const long peak = peakKiB();

    // The same 14 x N calls, from the grid's values, in one statement.
    db::Dataset& g = w.form.ZQuery2;
    std::string values;
    for (g.first(); !g.eof(); g.next())
        for (int f = 0; f < g.fieldCount(); ++f) {
            std::string name = g.fieldName(f);
            if (name.find("smtp") == std::string::npos)
                continue;
            values += (values.empty() ? "(" : ",(") + g.asText("_entity") + "," + settings::quoted(name) + ","
                    + settings::quoted(g.asText(name)) + ")";
        }
    const std::string sql = "select lysglb.update_toggles(e, n, v) from (values " + values + ") t(e, n, v)";
    db::Connection c("bulk");
    configure(c, port);
    c.connect();
    for (int r = 0; r < runs; ++r)
        bulk.push_back(seconds([&] { c.exec(sql); }));
    return {"write-back", n, link, median(tool), median(bulk), peak, median(cpu), ""};
}

// The grid with many companies: a refresh, best fit of every column, and
// painting the last page after a scroll to the bottom.
void benchGrid(int n, int runs)
{
    seed(n);
    Window w(serverPort);
    w.form.resize(1297, 644);
    w.form.cxButton1->click();
    std::vector<double> refresh, fit, paint;
    for (int r = 0; r < runs; ++r) {
        refresh.push_back(seconds([&] { w.form.ZQuery2.refresh(); }));
        fit.push_back(seconds([&] { w.form.v_query->resizeColumnsToContents(); }));
        paint.push_back(seconds([&] {
            w.form.v_query->scrollToBottom();
            (void)w.form.v_query->grab();
            w.form.v_query->scrollToTop();
            (void)w.form.v_query->grab();
        }));
    }
    std::printf("\ngrid with %d companies: refresh %.1f ms, best fit %.1f ms, scroll to the end and back with "
                "two full paints %.1f ms (medians of %d)\n",
                n, median(refresh) * 1e3, median(fit) * 1e3, median(paint) * 1e3, runs);
}

std::vector<int> parseSizes(const std::string& s)
{
    std::vector<int> out;
    std::stringstream ss(s);
    std::string part;
    while (std::getline(ss, part, ','))
        out.push_back(std::stoi(part));
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<int> sizes{250, 1000, 4000};
    int runs = 3, writeBackSize = 1000, delayUs = 500, gridSize = 5000;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i], v = argv[i + 1];
        if (a == "--sizes")
            sizes = parseSizes(v);
        else if (a == "--runs")
            runs = std::stoi(v);
        else if (a == "--writeback")
            writeBackSize = std::stoi(v);
        else if (a == "--delay-us")
            delayUs = std::stoi(v);
        else if (a == "--grid")
            gridSize = std::stoi(v);
        else {
            std::cerr << "usage: smtp_bench [--sizes 250,1000,4000] [--runs 3] [--writeback 1000] [--delay-us 500] [--grid 5000]\n";
            return 2;
        }
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const std::string cluster = "bash " + repoRoot + "/scripts/pgcluster.sh";
    clusterDir = sh("mktemp -d /tmp/smtpbench.XXXXXX");
    sh("chmod 755 " + clusterDir);
    serverPort = std::stoi(sh(cluster + " freeport"));
    sh(cluster + " start " + clusterDir + " " + std::to_string(serverPort) + " pinecrest");
    int rc = 0;
    try {
        sh(cluster + " createdb " + clusterDir + " " + std::to_string(serverPort) + " bench");
        std::ifstream schema(repoRoot + "/sample/schema.sql");
        std::stringstream text;
        text << schema.rdbuf();
        adminExec(text.str());

        DelayProxy proxy(serverPort, std::chrono::microseconds(delayUs));
        const std::string slow = std::to_string(2 * delayUs / 1000.0).substr(0, 3) + " ms RTT";
        std::vector<Row> rows;
        for (int n : sizes) {
            seed(n);
            rows.push_back(benchLoad(n, serverPort, "loopback", runs));
            std::cerr << "bench: load " << n << " loopback " << rows.back().tool << " s\n";
            if (n == writeBackSize) {
                rows.push_back(benchLoad(n, proxy.port(), slow, runs));
                std::cerr << "bench: load " << n << " proxy " << rows.back().tool << " s\n";
                rows.push_back(benchWriteBack(n, serverPort, "loopback", runs));
                std::cerr << "bench: write-back " << n << " loopback " << rows.back().tool << " s\n";
                rows.push_back(benchWriteBack(n, proxy.port(), slow, runs));
                std::cerr << "bench: write-back " << n << " proxy " << rows.back().tool << " s\n";
            }
        }
        std::printf("\n| case | companies | link | tool (median of %d) | of which tool CPU | bulk statement | ratio | peak RSS |\n", runs);
        std::printf("|---|---:|---|---:|---:|---:|---:|---:|\n");
        for (const auto& r : rows)
            std::printf("| %s | %d | %s | %.3f s | %.3f s | %.3f s | %.1fx | %ld MiB |\n", r.what.c_str(), r.n,
                        r.link.c_str(), r.tool, r.cpu, r.bulk, r.tool / r.bulk, r.peak / 1024);
        const auto find = [&](const std::string& what, int n, const std::string& link) -> const Row* {
            for (const auto& r : rows)
                if (r.what == what && r.n == n && r.link == link)
                    return &r;
            return nullptr;
        };
        const Row* small = find("load", 1000, "loopback");
        const Row* large = find("load", 4000, "loopback");
        if (small && large)
            std::printf("\nload growth from 1,000 to 4,000 companies: %.1fx\n", large->tool / small->tool);
        if (gridSize > 0)
            benchGrid(gridSize, runs);
    } catch (const std::exception& e) {
        std::cerr << "bench: " << e.what() << "\n";
        rc = 1;
    }
    sh(cluster + " stop " + clusterDir);
    sh("rm -rf " + clusterDir);
    return rc;
}
