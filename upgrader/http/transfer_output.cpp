#include "upgrader/http/transfer_output.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <cstring>

namespace upgrader {

namespace {

// A memory stream is given room for the announced length up to this much;
// beyond it, it grows as the data comes (an announced length is no promise).
constexpr qint64 kMostReservedBytes = 64 * 1024 * 1024;

}  // namespace

// Streams are made on the worker and handed to handlers and freed on the GUI
// thread, which therefore owns them.
void TauTransferOutput::Adopt(QIODevice* stream) {
    if (const QCoreApplication* app = QCoreApplication::instance())
        stream->moveToThread(app->thread());
}

bool TauTransferOutput::OpenFile(const QString& FileName, bool Truncate, QString& Error) {
    std::unique_ptr<TauFileStream> file = OpenOutputFile(FileName, Truncate, Error);
    if (!file)
        return false;
    Adopt(file.get());
    std::lock_guard lock(mutex_);
    file_ = std::move(file);
    memory_.reset();
    fileName_ = FileName;
    return true;
}

void TauTransferOutput::UseMemory(qint64 ExpectedSize) {
    auto memory = std::make_unique<QBuffer>();
    memory->buffer().reserve(std::clamp<qint64>(ExpectedSize, 0, kMostReservedBytes));
    memory->open(QIODevice::ReadWrite);
    Adopt(memory.get());
    std::lock_guard lock(mutex_);
    memory_ = std::move(memory);
    file_.reset();
}

bool TauTransferOutput::Exists() const {
    std::lock_guard lock(mutex_);
    return file_ || memory_;
}

bool TauTransferOutput::FileCreated() const {
    std::lock_guard lock(mutex_);
    return file_ != nullptr;
}

QString TauTransferOutput::FileName() const {
    std::lock_guard lock(mutex_);
    return fileName_;
}

QIODevice* TauTransferOutput::Stream() const {
    std::lock_guard lock(mutex_);
    if (file_)
        return file_.get();
    return memory_.get();
}

void TauTransferOutput::Rewind() {
    std::lock_guard lock(mutex_);
    if (file_)
        file_->seek(0);
    if (memory_)
        memory_->seek(0);
}

bool TauTransferOutput::SeekFile(qint64 Offset) {
    std::lock_guard lock(mutex_);
    return file_ && Offset <= file_->size() && file_->seek(Offset);
}

qint64 TauTransferOutput::VerifyAndSkip(const char* Data, qint64 Size) {
    std::lock_guard lock(mutex_);
    if (!file_)
        return -1;
    const qint64 position = file_->pos();
    const qint64 overlap = std::min(Size, file_->size() - position);
    if (overlap <= 0)
        return 0;
    const QByteArray held = file_->read(overlap);
    if (held.size() != overlap || std::memcmp(held.constData(), Data, size_t(overlap)) != 0)
        return -1;
    // What the file held beyond the data just checked is no part of this
    // body's start; the body goes on from here.
    if (!file_->resize(position + overlap) || !file_->seek(position + overlap))
        return -1;
    return overlap;
}

bool TauTransferOutput::Write(const char* Data, qint64 Size) {
    std::lock_guard lock(mutex_);
    QIODevice* stream = file_ ? static_cast<QIODevice*>(file_.get()) : memory_.get();
    return stream != nullptr && stream->write(Data, Size) == Size;
}

TauTransferOutput::Released TauTransferOutput::Release(TauFileAttributes Incomplete) {
    std::unique_ptr<TauFileStream> file;
    std::unique_ptr<QBuffer> memory;
    Released released;
    {
        std::lock_guard lock(mutex_);
        file = std::move(file_);
        memory = std::move(memory_);
        released.fileCreated = file != nullptr;
        released.fileName = fileName_;
    }
    if (file) {
        file->close();
        if (Incomplete != TauFileAttributes(atrArchive))
            SetFileAttributesFromSet(released.fileName, Incomplete);
    }
    return released;
}

}  // namespace upgrader
