#include "ui/qt/u_main.h"

#include "core/codetable.h"
#include "core/drawcheck.h"
#include "core/reduction.h"
#include "output/qt/clipboard.h"
#include "output/qt/desktopfolder.h"
#include "output/qt/savefile.h"
#include "output/qt/utf16text.h"
#include "ui/qt/messages.h"
#include "ui/texts.h"

#include <QDir>
#include <QFileDialog>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <optional>
#include <string_view>

using corvanel::output::qstr;
using corvanel::output::u16;

namespace {

// Where each control goes: client coordinates in pixels at 96 DPI with an ordinary desktop
// font, and the client area that holds them with their margins.
struct Placement {
    const char *name;
    QRect at96;
};
constexpr Placement placements[] = {
    {"memcode", {16, 24, 249, 321}},  {"btnfilt", {296, 256, 75, 25}},
    {"btncopy", {296, 296, 75, 25}},  {"edtcopy", {394, 24, 73, 21}},
    {"btnclose", {392, 296, 75, 25}}, {"lbljushu", {16, 8, 137, 13}},
    {"edtdj", {404, 192, 41, 21}},    {"Label2", {408, 176, 33, 13}},
    {"lblkj", {300, 176, 73, 13}},    {"edtcode", {300, 192, 73, 21}},
    {"btnsave", {392, 256, 75, 25}},
};
constexpr QSize clientAt96(491, 348);

template <typename Control> Control *place(QWidget *form, const char *name)
{
    auto *control = new Control(form);
    control->setObjectName(QLatin1String(name));
    return control;
}

// r with its edges scaled, so that controls that meet or line up still do.
QRect scaled(const QRect &r, qreal factor)
{
    const QPoint topLeft(qRound(r.left() * factor), qRound(r.top() * factor));
    const QPoint end(qRound((r.left() + r.width()) * factor),
                     qRound((r.top() + r.height()) * factor));
    return {topLeft, QSize(end.x() - topLeft.x(), end.y() - topLeft.y())};
}

// The wait cursor over the whole application for as long as it lives.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

Tfrmmain::Tfrmmain(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmmain"));
    setWindowTitle(qstr(corvanel::ui::applicationTitle));
    memcode = place<QPlainTextEdit>(this, "memcode");
    btnfilt = place<QPushButton>(this, "btnfilt");
    btncopy = place<QPushButton>(this, "btncopy");
    edtcopy = place<QLineEdit>(this, "edtcopy");
    btnclose = place<QPushButton>(this, "btnclose");
    lbljushu = place<QLabel>(this, "lbljushu");
    edtdj = place<QLineEdit>(this, "edtdj");
    Label2 = place<QLabel>(this, "Label2");
    lblkj = place<QLabel>(this, "lblkj");
    edtcode = place<QLineEdit>(this, "edtcode");
    btnsave = place<QPushButton>(this, "btnsave");

    btnfilt->setText(qstr(corvanel::ui::filterButtonText));
    btnsave->setText(qstr(corvanel::ui::saveButtonText));
    btncopy->setText(qstr(corvanel::ui::copyButtonText));
    btnclose->setText(qstr(corvanel::ui::closeButtonText));
    lbljushu->setText(qstr(corvanel::ui::countLabelText));
    lblkj->setText(qstr(corvanel::ui::lastDrawLabelText));
    Label2->setText(qstr(corvanel::ui::verdictLabelText));

    memcode->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memcode->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memcode->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memcode->setTabChangesFocus(true);
    // The memo holds digits and blanks, or whatever the user pasted. Left-to-right spares Qt
    // a scan of the whole paragraph for its direction each time the selection moves.
    QTextOption memoOption = memcode->document()->defaultTextOption();
    memoOption.setTextDirection(Qt::LeftToRight);
    memcode->document()->setDefaultTextOption(memoOption);
    // A hit is marked in the memo while the focus stays in edtcode, where the next draw is
    // typed, so the mark must look the same whether or not the memo has the focus.
    QPalette memoPalette = memcode->palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        memoPalette.setBrush(QPalette::Inactive, role, memoPalette.brush(QPalette::Active, role));
    }
    memcode->setPalette(memoPalette);

    // Enter on a focused button clicks that button; elsewhere it reaches keyPressEvent.
    for (QPushButton *button : {btnfilt, btnsave, btncopy, btnclose}) {
        button->setAutoDefault(true);
    }
    btnfilt->setDefault(true);

    // Each box is named, for a screen reader, by the caption above it, and follows it when the
    // caption changes.
    lbljushu->setBuddy(memcode);
    lblkj->setBuddy(edtcode);
    Label2->setBuddy(edtdj);

    // edtcopy is never shown. A window of its own, still owned by the form, keeps it out of
    // the controls that assistive technology finds in the form, where it would be a fourth
    // text box; a window that is never shown is not listed anywhere.
    edtcopy->setWindowFlag(Qt::Window);
    edtcopy->setFocusPolicy(Qt::NoFocus);
    edtcopy->hide();

    QWidget::setTabOrder(edtcode, memcode);
    QWidget::setTabOrder(memcode, btnfilt);
    QWidget::setTabOrder(btnfilt, btncopy);
    QWidget::setTabOrder(btncopy, btnclose);
    QWidget::setTabOrder(btnclose, edtdj);
    QWidget::setTabOrder(edtdj, btnsave);
    edtcode->setFocus();

    connect(btnfilt, &QPushButton::clicked, this, &Tfrmmain::btnfiltClick);
    connect(btncopy, &QPushButton::clicked, this, &Tfrmmain::btncopyClick);
    connect(btnclose, &QPushButton::clicked, this, &Tfrmmain::btncloseClick);
    connect(btnsave, &QPushButton::clicked, this, &Tfrmmain::btnsaveClick);
    // textChanged, not textEdited: changes made by the handlers count too.
    connect(edtcode, &QLineEdit::textChanged, this, &Tfrmmain::edtcodeChange);
    // QLineEdit has no click signal, and focus-in needs to tell the mouse from the keyboard.
    edtcode->installEventFilter(this);

    // A style sheet's font arrives with the polish.
    ensurePolished();
    applyLayout();

    FormCreate();
}

void Tfrmmain::changeEvent(QEvent *event)
{
    // The desktop's or the style sheet's font changed; memcode is the first control made.
    if (event->type() == QEvent::FontChange && memcode != nullptr) {
        applyLayout();
    }
    QWidget::changeEvent(event);
}

void Tfrmmain::applyLayout()
{
    const qreal factor = layoutScale();
    for (const Placement &p : placements) {
        if (auto *control = findChild<QWidget *>(QLatin1String(p.name))) {
            control->setGeometry(scaled(p.at96, factor));
        }
    }
    resize(scaled(QRect(QPoint(0, 0), clientAt96), factor).size());
}

qreal Tfrmmain::layoutScale() const
{
    // The pixels fit the texts of a desktop's ordinary fonts at 96 DPI, up to 10 points. The
    // window's font is compared with that size of itself on a 96-DPI device, in line height and
    // in the width of each caption, as dialog units follow a dialog's font: larger fonts and
    // more dots per inch without Qt's own scaling (whose factor Qt applies by itself) get more
    // room, smaller ones keep the pixels.
    // The ordinary case needs no measuring: a font of at most 10 points on a 96-DPI screen is at
    // most as tall and as wide as itself at 10 points there. Measuring would load the font a
    // second time, for the 96-DPI device, which start-up can do without.
    const qreal points = font().pointSizeF();
    if (points > 0 && points <= 10 && logicalDpiY() == 96) {
        return 1;
    }
    QImage at96(1, 1, QImage::Format_ARGB32);
    at96.setDotsPerMeterX(3780);
    at96.setDotsPerMeterY(3780);
    QFont ordinary = font();
    ordinary.setPointSizeF(10);
    const QFontMetricsF now(font(), this);
    const QFontMetricsF usual(ordinary, &at96);
    qreal factor = now.height() / usual.height();
    QStringList captions;
    for (const QLabel *label : findChildren<QLabel *>()) {
        captions << label->text();
    }
    for (const QPushButton *button : findChildren<QPushButton *>()) {
        captions << button->text();
    }
    for (const QString &caption : std::as_const(captions)) {
        const qreal width = usual.horizontalAdvance(caption);
        if (width > 0) {
            factor = std::max(factor, now.horizontalAdvance(caption) / width);
        }
    }
    return std::max<qreal>(1, factor);
}

void Tfrmmain::keyPressEvent(QKeyEvent *event)
{
    // Only keys that the focused control did not take arrive here.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const auto held =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (enter && held == Qt::NoModifier) {
        btnfilt->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Tfrmmain::showEvent(QShowEvent *event)
{
    if (!centred) {
        centred = true;
        // The frame's size where the platform knows it before the window is mapped.
        const QSize outer = frameGeometry().size();
        const QRect screenArea = screen()->availableGeometry();
        QPoint topLeft =
            QStyle::alignedRect(layoutDirection(), Qt::AlignCenter, outer, screenArea).topLeft();
        // A window larger than the screen keeps its title bar within reach.
        topLeft.setX(std::max(topLeft.x(), screenArea.left()));
        topLeft.setY(std::max(topLeft.y(), screenArea.top()));
        move(topLeft);
    }
    QWidget::showEvent(event);
}

bool Tfrmmain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == edtcode) {
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            edtcodeClick();
        } else if (event->type() == QEvent::FocusIn &&
                   static_cast<QFocusEvent *>(event)->reason() != Qt::MouseFocusReason) {
            // QLineEdit itself selects only on Tab and shortcuts; window activation and the
            // program's own setFocus count too.
            edtcode->selectAll();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Tfrmmain::btnfiltClick()
{
    corvanel::ui::guard(this, [this] {
        const QString entry = edtcode->text();
        const std::optional<corvanel::Draw> draw = corvanel::validateEntry(u16(entry));
        if (!draw) {
            corvanel::ui::showMessage(this, qstr(corvanel::entryPrompt));
            edtcode->setText(QString());
            edtcode->setFocus();
            return;
        }
        const WaitCursor busy;
        const corvanel::ReductionOutcome outcome = corvanel::reduce(*draw);
        memcode->setPlainText(qstr(outcome.resultText));
        lbljushu->setText(qstr(outcome.countCaption));
        lblkj->setText(qstr(outcome.lastDrawCaption));
        edtcode->setText(QString());
        edtcode->setFocus();
    });
}

void Tfrmmain::FormCreate()
{
    corvanel::ui::guard(this, [] { corvanel::codetable(); });
}

void Tfrmmain::btncopyClick()
{
    corvanel::ui::guard(this, [this] {
        // Straight to the clipboard, not through the single-line edtcopy, which would lose the
        // line breaks the user typed into the memo.
        corvanel::output::copyText(memcode->toPlainText());
    });
}

void Tfrmmain::btncloseClick()
{
    corvanel::ui::guard(this, [this] { close(); });
}

void Tfrmmain::edtcodeChange()
{
    corvanel::ui::guard(this, [this] {
        const QString memo = memcode->toPlainText();
        const QString entry = edtcode->text();
        const corvanel::Verdict verdict = corvanel::checkDraw(u16(memo), u16(entry));
        switch (verdict.kind) {
        case corvanel::Verdict::Kind::BlankResult:
            edtdj->clear();
            break;
        case corvanel::Verdict::Kind::NoChange:
            break;
        case corvanel::Verdict::Kind::Miss:
            edtdj->setText(qstr(corvanel::missText));
            break;
        case corvanel::Verdict::Kind::Hit: {
            edtdj->setText(qstr(corvanel::hitText));
            // The document's positions count the plain text's UTF-16 units one for one, line
            // breaks included, so the core's index is the cursor position.
            QTextCursor mark(memcode->document());
            mark.setPosition(static_cast<int>(verdict.start));
            mark.setPosition(static_cast<int>(verdict.start + verdict.length),
                             QTextCursor::KeepAnchor);
            // A pasted memo can be one paragraph of many thousand lines; without the cache
            // every mark would lay that paragraph out again.
            mark.block().layout()->setCacheEnabled(true);
            memcode->setTextCursor(mark);
            break;
        }
        }
    });
}

void Tfrmmain::edtcodeClick()
{
    corvanel::ui::guard(this, [this] { edtcode->setText(QString()); });
}

void Tfrmmain::btnsaveClick()
{
    corvanel::ui::guard(this, [this] {
        if (savedlg == nullptr) {
            savedlg = new QFileDialog(this);
            savedlg->setObjectName(QStringLiteral("savedlg"));
        }
        // Everything is set anew each time, so nothing the user did in the dialog last time
        // carries over. Qt's own dialog, not the desktop's, so that these settings mean the
        // same on every desktop.
        savedlg->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
        savedlg->setAcceptMode(QFileDialog::AcceptSave);
        savedlg->setFileMode(QFileDialog::AnyFile);
        savedlg->setNameFilter(qstr(corvanel::ui::textFileFilterName));
        savedlg->setDefaultSuffix(qstr(corvanel::ui::textFileExtension));
        const QString desktop = GetShellFolder(QStringLiteral("Desktop"));
        // Where a new dialog opens when given no folder.
        savedlg->setDirectory(desktop.isEmpty() ? QDir::currentPath() : desktop);
        // selectFile() ignores an empty name, and the dialog keeps the last name typed, so the
        // name box is emptied directly; it is part of Qt's own dialog, forced above.
        if (auto *nameBox = savedlg->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))) {
            nameBox->clear();
        }
        if (savedlg->exec() != QDialog::Accepted || savedlg->selectedFiles().isEmpty()) {
            return;
        }
        const QString path = savedlg->selectedFiles().constFirst();
        const corvanel::output::SaveResult saved =
            corvanel::output::saveText(path, memcode->toPlainText());
        if (!saved.ok) {
            corvanel::ui::reportError(this, saved.errorText);
            return;
        }
        corvanel::ui::showMessage(this, qstr(corvanel::ui::savedMessage));
    });
}

QString Tfrmmain::GetShellFolder(const QString &name) const
{
    // The Desktop is the one shell folder the program asks for.
    if (name == u"Desktop") {
        return corvanel::output::desktopFolder();
    }
    return {};
}
