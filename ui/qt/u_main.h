#pragma once

#include <QWidget>

class QFileDialog;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// frmmain, the program's one window. The user types the last draw into edtcode and presses
// Enter or "过滤": btnfiltClick hands the entry to the reduction (core/reduction.h) and writes
// its outcome into memcode and the two captions. Every later change of edtcode runs
// edtcodeChange, which checks the entry against memcode's current text (core/drawcheck.h) and
// shows the verdict in edtdj, marking a hit in memcode. The result lives only in memcode; "复制"
// and "保存" take its text from there to output/ (clipboard, text file, Desktop folder). Each
// handler's body runs inside ui::guard, so an error ends the handler in the application's error
// report instead of unwinding through Qt.
class Tfrmmain : public QWidget {
    Q_OBJECT

public:
    explicit Tfrmmain(QWidget *parent = nullptr);

protected:
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void btnfiltClick();
    void FormCreate();
    void btncopyClick();
    void btncloseClick();
    void edtcodeChange();
    void edtcodeClick();
    void btnsaveClick();

    // The folder the user's shell keeps under name ("Desktop"), or empty when there is none.
    QString GetShellFolder(const QString &name) const;

    // Places every control and sizes the client area for the window's font (layoutScale).
    void applyLayout();
    // How much the pixel layout grows for the window's font: 1 for the ordinary fonts it was
    // made for, more where their texts would no longer fit.
    qreal layoutScale() const;

    // The window owns every control through Qt's parent; these only name them.
    QPlainTextEdit *memcode = nullptr;
    QPushButton *btnfilt = nullptr;
    QPushButton *btncopy = nullptr;
    QLineEdit *edtcopy = nullptr;
    QPushButton *btnclose = nullptr;
    QLabel *lbljushu = nullptr;
    QLineEdit *edtdj = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *lblkj = nullptr;
    QLineEdit *edtcode = nullptr;
    QPushButton *btnsave = nullptr;
    // Made when "保存" is first pressed, so that start-up does not pay for it.
    QFileDialog *savedlg = nullptr;

    bool centred = false;
};
