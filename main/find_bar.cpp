#include "main/find_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QToolButton>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "browser/chromium.h"

namespace main_window {

namespace {

QToolButton* Button(const QString& text, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setAutoRaise(true);
    return button;
}

}  // namespace

TFindBar::TFindBar(browser::TChromium& crm, QWidget* parent)
    : QWidget(parent), crm_(crm), text_(new QLineEdit(this)), matches_(new QLabel(this)) {
    setObjectName(QStringLiteral("FindBar"));
    text_->setObjectName(QStringLiteral("FindText"));
    text_->setPlaceholderText(QStringLiteral("在页面中查找"));
    text_->setClearButtonEnabled(true);
    text_->installEventFilter(this);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(QStringLiteral("查找："), this));
    layout->addWidget(text_, 1);
    layout->addWidget(matches_);
    QToolButton* previous = Button(QStringLiteral("上一个"), this);
    QToolButton* next = Button(QStringLiteral("下一个"), this);
    QToolButton* close = Button(QStringLiteral("关闭"), this);
    for (QToolButton* button : {previous, next, close})
        layout->addWidget(button);
    connect(text_, &QLineEdit::textChanged, this, [this] { Find(false); });
    connect(previous, &QToolButton::clicked, this, [this] { Find(true); });
    connect(next, &QToolButton::clicked, this, [this] { Find(false); });
    connect(close, &QToolButton::clicked, this, &TFindBar::Close);
    hide();
}

void TFindBar::Open() {
    show();
    text_->setFocus(Qt::ShortcutFocusReason);
    text_->selectAll();
}

void TFindBar::Close() {
    hide();
    matches_->clear();
    if (QWebEngineView* view = crm_.view()) {
        view->page()->findText(QString());
        view->setFocus(Qt::OtherFocusReason);
    }
}

bool TFindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched != text_ || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
        Close();
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        Find(key->modifiers() & Qt::ShiftModifier);
        return true;
    }
    return false;
}

void TFindBar::Find(bool backward) {
    QWebEngineView* view = crm_.view();
    if (!view)
        return;
    const QWebEnginePage::FindFlags flags =
        backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags();
    view->page()->findText(
        text_->text(), flags,
        [bar = QPointer<TFindBar>(this)](const QWebEngineFindTextResult& result) {
            if (bar)
                bar->ShowResult(result);
        });
}

void TFindBar::ShowResult(const QWebEngineFindTextResult& result) {
    if (text_->text().isEmpty())
        matches_->clear();
    else if (result.numberOfMatches() == 0)
        matches_->setText(QStringLiteral("无匹配"));
    else
        matches_->setText(
            QStringLiteral("%1/%2").arg(result.activeMatch()).arg(result.numberOfMatches()));
}

}  // namespace main_window
