// Keystroke figure: the time from a key typed into edtcode until edtdj shows the verdict, on the
// offscreen platform with real key events. Each timed key completes a two-digit draw and flips
// the verdict between "中" (45) and "X" (52), so every sample changes what edtdj shows. Two
// times per key: "handled", until the key event has been processed and edtdj holds the verdict,
// and "painted", until the window's next paint pass, edtdj included, is done. Run with the
// ordinary result of the reduction for 37 (225 characters) and with 1 MiB of text pasted into
// memcode.

#include "bench/statistics.h"
#include "ui/qt/u_main.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "keystroke_bench: %s\n", what);
    std::exit(1);
}

// Notes when the watched widget is painted.
class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            painted = true;
        }
        return false;
    }
};

// Milliseconds per timed key, for the keys that gave one verdict.
struct Times {
    std::vector<double> handled;
    std::vector<double> painted;
};

class Bench {
public:
    Bench()
    {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) {
            fail("the window was not exposed");
        }
        edtcode = window.findChild<QLineEdit *>(QStringLiteral("edtcode"));
        edtdj = window.findChild<QLineEdit *>(QStringLiteral("edtdj"));
        memcode = window.findChild<QPlainTextEdit *>(QStringLiteral("memcode"));
        if (edtcode == nullptr || edtdj == nullptr || memcode == nullptr) {
            fail("a control is missing");
        }
        edtdj->installEventFilter(&watch);
    }

    // Types 37 and Enter, and returns the result text the memo then shows.
    QString reduceBy37()
    {
        QTest::keyClicks(edtcode, QStringLiteral("37"));
        QTest::keyClick(edtcode, Qt::Key_Return);
        const QString result = memcode->toPlainText();
        if (result.size() != 225 || !edtcode->text().isEmpty()) {
            fail("the reduction for 37 did not fill the memo");
        }
        return result;
    }

    void pasteIntoMemo(const QString &text)
    {
        QGuiApplication::clipboard()->setText(text);
        memcode->setFocus();
        QTest::keyClick(memcode, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(memcode, Qt::Key_V, Qt::ControlModifier);
        if (memcode->toPlainText() != text) {
            fail("the paste did not fill the memo");
        }
        edtcode->setFocus();
        settle();
    }

    struct Verdicts {
        Times hit;
        Times miss;
    };

    Verdicts measure(int cycles)
    {
        Verdicts times;
        for (int i = 0; i < cycles; ++i) {
            timeKey(Qt::Key_4, Qt::Key_5, QStringLiteral("中"), times.hit);
            timeKey(Qt::Key_5, Qt::Key_2, QStringLiteral("X"), times.miss);
        }
        return times;
    }

private:
    // Types `first` untimed, then times `second`, which must make edtdj show `verdict`; then
    // empties edtcode again.
    void timeKey(Qt::Key first, Qt::Key second, const QString &verdict, Times &times)
    {
        QTest::keyClick(edtcode, first);
        settle();
        if (edtdj->text() == verdict) {
            fail("the verdict was already shown before the timed key");
        }
        watch.painted = false;

        QElapsedTimer clock;
        clock.start();
        QTest::keyClick(edtcode, second);
        const qint64 handled = clock.nsecsElapsed();
        if (edtdj->text() != verdict) {
            fail("the timed key did not give the expected verdict");
        }
        QDeadlineTimer deadline(5000);
        while (!watch.painted && !deadline.hasExpired()) {
            QCoreApplication::processEvents();
        }
        const qint64 painted = clock.nsecsElapsed();
        if (!watch.painted) {
            fail("edtdj was not repainted within 5 s");
        }
        times.handled.push_back(static_cast<double>(handled) / 1e6);
        times.painted.push_back(static_cast<double>(painted) / 1e6);

        QTest::keyClick(edtcode, Qt::Key_Backspace);
        QTest::keyClick(edtcode, Qt::Key_Backspace);
        settle();
    }

    // Lets every pending update and paint run, so that a timed key starts from a quiet window.
    void settle()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }

    Tfrmmain window;
    QLineEdit *edtcode = nullptr;
    QLineEdit *edtdj = nullptr;
    QPlainTextEdit *memcode = nullptr;
    PaintWatch watch;
};

// One table row per verdict and end point: figure, baseline (none), median, p90, target.
void report(const char *memo, const char *target, const Bench::Verdicts &t)
{
    const struct {
        const char *verdict;
        const Times &times;
    } rows[] = {{"hit 中", t.hit}, {"miss X", t.miss}};
    for (const auto &row : rows) {
        std::printf("| keystroke, %s memo, %s, handled | - | %.3f ms | p90 %.3f ms | %s |\n", memo,
                    row.verdict, median(row.times.handled), percentile90(row.times.handled),
                    target);
        std::printf("| keystroke, %s memo, %s, painted | - | %.3f ms | p90 %.3f ms | %s |\n", memo,
                    row.verdict, median(row.times.painted), percentile90(row.times.painted),
                    target);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Bench bench;

    const QString result = bench.reduceBy37();
    bench.measure(10); // warm-up
    report("225-character", "< 1 ms", bench.measure(200));

    // The result pasted over and over: 45 is found near the start, 52 nowhere, so a miss
    // searches the whole text.
    QString large;
    while (large.size() < (1 << 20)) {
        large += result;
    }
    large.truncate(1 << 20);
    bench.pasteIntoMemo(large);
    bench.measure(3); // warm-up
    report("1 MiB", "well < 16 ms", bench.measure(50));
    return 0;
}
