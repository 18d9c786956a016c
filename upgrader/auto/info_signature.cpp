// The publisher's signature of the info file: with a key built in, the info
// file counts only once its ".minisig" beside it is checked, and only for the
// host, version and time its signed comment names.
#include <QDateTime>
#include <QUrl>
#include <utility>

#include "upgrader/auto/auto_upgrader.h"
#include "upgrader/auto/upgrader_messages.h"
#include "upgrader/info/info_file.h"
#include "upgrader/texts/upgrader_texts.h"
#include "upgrader/verification/minisign_signature.h"
#include "upgrader/verification/signed_comment.h"

namespace upgrader {

namespace {

QByteArray WholeBody(QIODevice* Stream) {
    return Stream != nullptr && Stream->seek(0) ? Stream->readAll() : QByteArray();
}

const char* SignatureProblem(TauSignatureCheck Check) {
    switch (Check) {
        case TauSignatureCheck::Valid:
            return nullptr;
        case TauSignatureCheck::Malformed:
            return "the signature file is malformed or not minisign's prehashed form";
        case TauSignatureCheck::OtherKey:
            return "the signature was made with another key";
        case TauSignatureCheck::Invalid:
            return "the signature does not match";
    }
    return "the signature does not match";
}

}  // namespace

void TauAutoUpgrader::InfoFileFetched(QIODevice* Stream) {
    if (UpdatePublicKey.isEmpty()) {
        ParseInfoFile(WholeBody(Stream));
        return;
    }
    unverifiedInfo_ = WholeBody(Stream);
    FetchSignature();
}

void TauAutoUpgrader::FetchSignature() {
    fetchingSignature_ = true;
    URL = InfoFileURL + ".minisig";
    OutputFileName.clear();
    ReleaseOutput();
    if (!Read(false))
        RefuseUnverifiedInfo("the signature could not be fetched");
}

void TauAutoUpgrader::SignatureFetched(QIODevice* Stream) {
    fetchingSignature_ = false;
    const QByteArray info = std::exchange(unverifiedInfo_, {});
    const std::optional<std::vector<MinisignPublicKey>> keys =
        ParseMinisignPublicKeys(UpdatePublicKey);
    if (!keys) {
        RefuseUnverifiedInfo("the built-in public key is not a minisign key");
        return;
    }
    QByteArray comment;
    if (const char* problem =
            SignatureProblem(VerifyMinisignSignature(*keys, info, WholeBody(Stream), &comment))) {
        RefuseUnverifiedInfo(problem);
        return;
    }
    const std::optional<TauSignedComment> signedFor = ParseSignedComment(comment);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const qint64 newestPublished = ReadNewestPublished(InfoFileHost(), now);
    if (const char* problem = SignedCommentProblem(signedFor, InfoFileHost(),
                                                   GetInfoValue(info, "version", false).trimmed(),
                                                   now, newestPublished)) {
        RefuseUnverifiedInfo(problem);
        return;
    }
    RecordNewestPublished(InfoFileHost(), signedFor->Published, now);
    ParseInfoFile(info);
}

// host[:port] of the info file's address, as the publisher's tool names it.
QByteArray TauAutoUpgrader::InfoFileHost() const {
    const QUrl url(QString::fromLatin1(InfoFileURL));
    const QString port = url.port() < 0 ? QString() : u':' + QString::number(url.port());
    return (url.host() + port).toLatin1();
}

// Treated as if there were no info file: nothing is asked or downloaded. A
// check the user started says why; an automatic one only leaves a line, and
// fetches the pair once more through the backoff: a cache may hand out an old
// info file beside a new signature for a while.
void TauAutoUpgrader::RefuseUnverifiedInfo(const char* Reason) {
    fetchingSignature_ = false;
    unverifiedInfo_.clear();
    qWarning("Update information from %s refused: %s", InfoFileURL.constData(), Reason);
    SignalEvent(DoneEvent());
    if (autoCheckStarted_ && !refusedPairRetried_) {
        refusedPairRetried_ = true;
        RetryAutoCheck(0);
        return;
    }
    if (!autoCheckStarted_ && ShowMessages.testFlag(mUnverifiedUpdate))
        ShowUpgraderMessage(LoadUpgraderText(31), QMessageBox::Critical);
}

}  // namespace upgrader
