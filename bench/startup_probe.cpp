// Linked into a start-up benchmark program next to its unchanged main(). When the application
// object is made it starts watching for the first paint of a top-level window; once that paint
// and the flush that follows it are done, it prints the CLOCK_MONOTONIC time in nanoseconds
// ("painted <ns>") and quits the event loop. The runner (startup_bench) subtracts the time at
// which it started the process.

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QWidget>

#include <cstdio>
#include <ctime>

namespace {

class FirstPaintProbe : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!seen && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->isWindow()) {
            seen = true;
            // Queued, so it runs after the rest of this paint pass (the children) and the flush.
            QMetaObject::invokeMethod(this, &FirstPaintProbe::report, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void report()
    {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("painted %lld\n",
                    static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fflush(stdout);
        QCoreApplication::quit();
    }

    bool seen = false;
};

void installProbe()
{
    QCoreApplication::instance()->installEventFilter(
        new FirstPaintProbe(QCoreApplication::instance()));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
