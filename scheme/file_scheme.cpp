#include "scheme/file_scheme.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QFile>

#include "scheme/folder_entries.h"
#include "scheme/listing_page.h"
#include "scheme/mime_type.h"
#include "scheme/not_found_page.h"
#include "scheme/url_path.h"

namespace scheme {

namespace {

// On Linux a name starting with "." is hidden, and anything that is neither a
// regular file nor a folder (a device, a socket, a FIFO, a dangling link) is
// a system entry. Neither is served; a FIFO is never even opened (opening one
// waits for a writer).
bool IsOrdinaryFile(const QByteArray& path) {
    struct stat status {};
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    return ::stat(path.constData(), &status) == 0 && S_ISREG(status.st_mode) &&
           !name.startsWith('.');
}

bool IsFolder(const QByteArray& path) {
    struct stat status {};
    return ::stat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The file as its path's bytes name it (Qt's own names are text, and a name
// that is not UTF-8 would not survive the way there and back).
std::unique_ptr<QFile> OpenForReading(const QByteArray& path) {
    const int descriptor = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return nullptr;
    auto file = std::make_unique<QFile>();
    if (!file->open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return nullptr;
    }
    return file;
}

}  // namespace

TFileScheme::TFileScheme() = default;
TFileScheme::~TFileScheme() = default;

bool TFileScheme::ProcessRequest(const QUrl& url) {
    RawPath = UrlToPath(url.toString(QUrl::FullyEncoded));
    Path = DisplayName(RawPath);
    if (!RawPath.isEmpty() && (AnswerFile() || AnswerFolder()))
        return true;
    AnswerNotFound();
    return true;
}

bool TFileScheme::AnswerFile() {
    if (!IsOrdinaryFile(RawPath))
        return false;
    // A file that exists but cannot be opened (no permission, no handles
    // left) ends in the not-found answer.
    std::unique_ptr<QFile> file = OpenForReading(RawPath);
    if (!file)
        return false;
    Status = 200;
    StatusText = QStringLiteral("OK");
    const QString extension = FileExtension(Path);
    MimeType = ResponseMimeType(RegisteredMimeType(extension), extension);
    // Linux writes text as UTF-8; other text is left to the view's default
    // encoding (GBK).
    if (MimeType.startsWith(QLatin1String("text/")) && StartsAsUtf8(*file))
        MimeType += QLatin1String("; charset=utf-8");
    DataStream = std::move(file);
    return true;
}

bool TFileScheme::AnswerFolder() {
    if (!IsFolder(RawPath))
        return false;
    if (!RawPath.endsWith('/')) {
        RawPath += '/';
        Path += QLatin1Char('/');
    }
    std::vector<TFileInfo> entries = ReadFolder(RawPath);
    SortEntries(entries);
    AnswerPage(200, QStringLiteral("OK"), ListingPage(Path, entries));
    return true;
}

void TFileScheme::AnswerNotFound() {
    AnswerPage(404, QStringLiteral("Not found"), NotFoundPage(Path));
}

void TFileScheme::AnswerPage(int status, const QString& statusText, const QByteArray& page) {
    Status = status;
    StatusText = statusText;
    MimeType = QStringLiteral("text/html");
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(page);
    buffer->open(QIODevice::ReadOnly);
    DataStream = std::move(buffer);
}

void TFileScheme::GetResponseHeaders(TResponseHeaders& response, qint64& responseLength) const {
    response.Status = Status;
    response.StatusText = StatusText;
    response.MimeType = MimeType;
    responseLength = DataStream ? DataStream->size() : 0;
}

bool TFileScheme::ReadResponse(char* data, qint64 bytesToRead, qint64& bytesRead) {
    bytesRead = 0;
    if (!DataStream)
        return true;
    const qint64 count = DataStream->read(data, bytesToRead);
    if (count < 0)
        return false;
    bytesRead = count;
    return true;
}

bool TFileScheme::SeekResponse(qint64 position) {
    return DataStream && DataStream->seek(position);
}

}  // namespace scheme
