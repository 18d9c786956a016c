#include "browser/frame_loads.h"

#include <QRandomGenerator>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace browser {

namespace {

// %1 is the token. A frame element added without an address shows an empty
// document whose load event is no load of the page's.
constexpr const char* kFrameLoadScript = R"JS(
(function (token) {
    function report(kind, url) { console.debug(token + kind + ' ' + url); }
    var loading = new WeakSet();
    var watched = new WeakSet();
    function isFrame(node) { return node.tagName === 'IFRAME' || node.tagName === 'FRAME'; }
    function watch(frame) {
        if (watched.has(frame)) return;
        watched.add(frame);
        frame.addEventListener('load', function () {
            if (!loading.has(frame) && !frame.getAttribute('src')) return;
            loading.delete(frame);
            var url = frame.src;
            try { url = frame.contentWindow.location.href; } catch (e) {}
            report('end', url);
        });
    }
    function start(frame) {
        watch(frame);
        if (!frame.getAttribute('src')) return;
        loading.add(frame);
        report('start', frame.src);
    }
    function added(node) {
        if (node.nodeType !== 1) return;
        if (isFrame(node)) start(node);
        node.querySelectorAll('iframe, frame').forEach(start);
    }
    new MutationObserver(function (records) {
        records.forEach(function (record) {
            if (record.type === 'attributes') {
                if (isFrame(record.target) && record.target.isConnected) start(record.target);
            } else {
                record.addedNodes.forEach(added);
            }
        });
    }).observe(document, {childList: true, subtree: true, attributes: true,
                          attributeFilter: ['src']});
    if (window !== window.top)
        window.addEventListener('beforeunload', function () { report('start', location.href); });
})('%1');
)JS";

// A world of its own: neither the pages' nor the process-message channel's.
constexpr quint32 kFrameLoadWorld = QWebEngineScript::UserWorld + 1;

QString RandomToken() {
    QString token = QStringLiteral("quorvane-frame-");
    for (int i = 0; i < 4; ++i)
        token += QString::number(QRandomGenerator::system()->generate(), 16).rightJustified(8, '0');
    return token + QLatin1Char(':');
}

}  // namespace

void TFrameLoads::attachTo(QWebEnginePage& page) {
    token_ = RandomToken();
    QWebEngineScript script;
    script.setName(QStringLiteral("quorvaneFrameLoads"));
    script.setSourceCode(QString::fromUtf8(kFrameLoadScript).arg(token_));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(kFrameLoadWorld);
    script.setRunsOnSubFrames(true);
    page.scripts().insert(script);
}

bool TFrameLoads::take(const QString& message) const {
    if (token_.isEmpty() || !message.startsWith(token_))
        return false;
    const QStringView report = QStringView(message).mid(token_.size());
    const qsizetype space = report.indexOf(QLatin1Char(' '));
    if (space < 0)
        return true;
    const QStringView kind = report.left(space);
    if (reported && (kind == u"start" || kind == u"end"))
        reported(kind == u"start", report.mid(space + 1).toString());
    return true;
}

}  // namespace browser
