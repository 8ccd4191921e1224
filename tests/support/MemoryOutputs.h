#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileError.h"
#include "platform/OutputFile.h"

namespace tessary::test {

// Output files kept in memory, by path, with failures on demand: a create of a named file,
// a write that would take a file past a size, or a close.
class MemoryOutputs : public OutputFiles {
public:
    struct File {
        std::vector<uint8_t> bytes;
        bool closed = false;
        bool committed = false;
        bool removed = false; // dropped without a commit: a disk file would be gone
    };

    std::unique_ptr<OutputFile> create(const std::string& path) override {
        if (path == failCreate) throw FileError("Cannot create file \"" + path + "\". Denied");
        files[path] = std::make_shared<File>();
        order.push_back(path);
        return std::make_unique<Output>(*this, files[path], path);
    }

    const std::vector<uint8_t>& bytes(const std::string& path) const {
        return files.at(path)->bytes;
    }

    // Folders are not made: the files live in memory.
    void createFolder(const std::string&, NewFolders&) override {}

    std::map<std::string, std::shared_ptr<File>> files;
    std::vector<std::string> order; // paths in the order they were created
    std::string failCreate;
    std::string failWrite;          // this file fails once it would hold more than ...
    std::size_t failWriteAfter = 0; // ... this many bytes
    std::string failClose;

private:
    class Output : public OutputFile {
    public:
        Output(MemoryOutputs& owner, std::shared_ptr<File> file, std::string path)
            : owner_(owner), file_(std::move(file)), path_(std::move(path)) {}
        ~Output() override {
            if (!file_->committed) file_->removed = true;
        }
        void append(const uint8_t* data, std::size_t length) override {
            writeAt(file_->bytes.size(), data, length);
        }
        void writeAt(uint64_t offset, const uint8_t* data, std::size_t length) override {
            const std::size_t end = static_cast<std::size_t>(offset) + length;
            if (path_ == owner_.failWrite && end > owner_.failWriteAfter)
                throw FileError("Stream write error: \"" + path_ + "\". No space left on device");
            if (end > file_->bytes.size()) file_->bytes.resize(end);
            std::copy(data, data + length,
                      file_->bytes.begin() + static_cast<std::ptrdiff_t>(offset));
        }
        void close() override {
            file_->closed = true;
            if (path_ == owner_.failClose)
                throw FileError("Stream write error: \"" + path_ + "\". Input/output error");
        }
        void commit() override {
            if (!file_->closed) close();
            file_->committed = true;
        }
        const std::string& writtenPath() const override { return path_; }

    private:
        MemoryOutputs& owner_;
        std::shared_ptr<File> file_;
        std::string path_;
    };
};

} // namespace tessary::test
