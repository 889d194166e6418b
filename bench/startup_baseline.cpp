// The baseline for the start-up figure: a bare Qt window of Corvanel's size and title showing
// one Chinese label, so that the font fallback for Chinese text is paid on both sides.

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Corvanel"));
    window.resize(491, 348);
    QLabel label(QStringLiteral("缩水结果："), &window);
    label.setGeometry(16, 8, 137, 13);
    window.show();
    return QApplication::exec();
}
