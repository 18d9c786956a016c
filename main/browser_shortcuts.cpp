#include "main/browser_shortcuts.h"

#include <QKeySequence>
#include <QLineEdit>
#include <QShortcut>
#include <QWebEngineView>
#include <algorithm>
#include <array>
#include <functional>

#include "browser/chromium.h"

namespace main_window {

namespace {

constexpr std::array kZoomSteps = {0.25, 0.33, 0.5,  0.67, 0.75, 0.8, 0.9, 1.0, 1.1,
                                   1.25, 1.5,  1.75, 2.0,  2.5,  3.0, 4.0, 5.0};

QShortcut* AddShortcut(QWidget& form, std::initializer_list<QKeySequence> keys,
                       std::function<void()> action) {
    QShortcut* shortcut = nullptr;
    for (const QKeySequence& key : keys) {
        shortcut = new QShortcut(key, &form);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, &form, action);
    }
    return shortcut;
}

// The next zoom step above (`in`) or below the factor, as browsers step.
double NextZoomFactor(double factor, bool in) {
    // Half a per cent of slack: the engine hands back what it was given, but
    // Ctrl+wheel zooms to factors between the steps.
    if (in) {
        const auto* step = std::find_if(kZoomSteps.begin(), kZoomSteps.end(),
                                        [&](double s) { return s > factor + 0.005; });
        return step == kZoomSteps.end() ? kZoomSteps.back() : *step;
    }
    const auto step = std::find_if(kZoomSteps.rbegin(), kZoomSteps.rend(),
                                   [&](double s) { return s < factor - 0.005; });
    return step == kZoomSteps.rend() ? kZoomSteps.front() : *step;
}

}  // namespace

QShortcut* AddBrowserShortcuts(QWidget& form, browser::TChromium& crm, QLineEdit& address,
                               std::function<void()> openFindBar) {
    auto browser = [&crm] { return crm.Browser(); };
    AddShortcut(form, {Qt::Key_F5, Qt::CTRL | Qt::Key_R}, [browser] {
        if (browser::TCefBrowser* b = browser())
            b->Reload();
    });
    AddShortcut(form, {Qt::ALT | Qt::Key_Left}, [browser] {
        if (browser::TCefBrowser* b = browser())
            b->GoBack();
    });
    AddShortcut(form, {Qt::ALT | Qt::Key_Right}, [browser] {
        if (browser::TCefBrowser* b = browser())
            b->GoForward();
    });
    AddShortcut(form, {Qt::CTRL | Qt::Key_L}, [&address] {
        address.setFocus(Qt::ShortcutFocusReason);
        address.selectAll();
    });
    AddShortcut(form, {Qt::CTRL | Qt::Key_F}, std::move(openFindBar));
    auto zoom = [&crm](std::function<double(double)> next) {
        return [&crm, next] {
            if (QWebEngineView* view = crm.view())
                view->setZoomFactor(next(view->zoomFactor()));
        };
    };
    AddShortcut(form, {Qt::CTRL | Qt::Key_Plus, Qt::CTRL | Qt::Key_Equal},
                zoom([](double f) { return NextZoomFactor(f, true); }));
    AddShortcut(form, {Qt::CTRL | Qt::Key_Minus},
                zoom([](double f) { return NextZoomFactor(f, false); }));
    AddShortcut(form, {Qt::CTRL | Qt::Key_0}, zoom([](double) { return 1.0; }));
    QShortcut* stop = AddShortcut(form, {Qt::Key_Escape}, [browser] {
        if (browser::TCefBrowser* b = browser())
            b->StopLoad();
    });
    stop->setEnabled(false);
    return stop;
}

}  // namespace main_window
