#include "catalog/FileProperties.h"

#include "platform/Err.h"
#include "platform/FileSystem.h"
#include "platform/Formats.h"

namespace bravel {

FileProperties::FileProperties() : date_(zeroDate()) {}

bool FileProperties::readSourceState() {
    fs::FileState state;
    if (!fs::fileState(sourceFile_, state)) {
        sourceWasRead_ = false;
        return false;
    }
    takeSourceState(state);
    Err.Clear();
    return true;
}

void FileProperties::takeSourceState(const std::optional<fs::FileState>& state) {
    sourceWasRead_ = state.has_value();
    if (!state) return;
    attributes_ = state->attributes;
    bytes_ = state->length;
    date_ = state->modified;
}

void FileProperties::setISourceFileAttr(int) {
    int attributes = 0;
    if (fs::getAttributes(sourceFile_, attributes)) {
        attributes_ = attributes;
        Err.Clear();
    }
}

void FileProperties::setLSourceByte(qint64) {
    qint64 bytes = 0;
    if (fs::length(sourceFile_, bytes)) {
        bytes_ = bytes;
        Err.Clear();
    }
}

void FileProperties::setDteSourceDate(const QDateTime&) {
    QDateTime date;
    if (fs::modificationTime(sourceFile_, date)) {
        date_ = date;
        Err.Clear();
    }
}

}  // namespace bravel
