#include "savefile.h"

#include <QSaveFile>
#include <QString>

namespace {
constexpr size_t kBlock = size_t{1} << 16;
}  // namespace

SaveFileStream::SaveFileStream(const std::string& path)
    : path_(path), file_(std::make_unique<QSaveFile>(QString::fromStdString(path))) {
    // Unbuffered: commit does not report a failure of the last buffered bytes, so every byte is
    // written, and checked, before it; the blocks are gathered here instead.
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) Fail();
    block_.reserve(kBlock);
}

SaveFileStream::~SaveFileStream() {
    if (file_->isOpen()) file_->cancelWriting();
}

void SaveFileStream::Fail() {
    const std::string why = file_->errorString().toStdString();
    file_->cancelWriting();
    throw SaveFileError("Cannot write " + path_ + ": " + why);
}

void SaveFileStream::WriteOut(std::string_view bytes) {
    const auto size = static_cast<qint64>(bytes.size());
    if (size > 0 && file_->write(bytes.data(), size) != size) Fail();
}

void SaveFileStream::Write(std::string_view bytes) {
    if (block_.size() + bytes.size() > kBlock) {
        WriteOut(block_);
        block_.clear();
    }
    if (bytes.size() >= kBlock)
        WriteOut(bytes);
    else
        block_.append(bytes);
}

void SaveFileStream::Commit() {
    WriteOut(block_);
    block_.clear();
    if (!file_->commit()) {
        const std::string why = file_->errorString().toStdString();
        throw SaveFileError("Cannot write " + path_ + ": " + why);
    }
}

void SaveFileWhole(const std::string& path, std::string_view bytes) {
    SaveFileStream file(path);
    file.Write(bytes);
    file.Commit();
}
