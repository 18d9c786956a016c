#include "main/page_crash_notice.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "browser/chromium.h"

namespace main_window {

TPageCrashNotice::TPageCrashNotice(browser::TChromium& crm) : QWidget(&crm) {
    setObjectName(QStringLiteral("PageCrashNotice"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    auto* text = new QLabel(QStringLiteral("页面出错了，无法显示。\n"
                                           "已填写但尚未提交的内容可能已经丢失。"),
                            this);
    text->setAlignment(Qt::AlignCenter);
    QFont font = text->font();
    font.setPointSize(14);
    text->setFont(font);
    auto* reload = new QPushButton(QStringLiteral("重新加载"), this);
    reload->setObjectName(QStringLiteral("ReloadPage"));
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addWidget(text);
    layout->addWidget(reload, 0, Qt::AlignHCenter);
    layout->addStretch();
    connect(reload, &QPushButton::clicked, this, [this, &crm] {
        hide();
        if (browser::TCefBrowser* browser = crm.Browser())
            browser->Reload();
    });
    crm.installEventFilter(this);
    hide();
}

void TPageCrashNotice::ProcessEnded(int status) {
    if (status == 0)
        return;
    setGeometry(parentWidget()->rect());
    raise();
    show();
}

bool TPageCrashNotice::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

}  // namespace main_window
