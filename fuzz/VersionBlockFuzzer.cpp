// SPDX-License-Identifier: MIT
// The version-block reader on arbitrary file bytes: the file as a whole (ELF sections, the block's
// header and string table, through the reader the about box uses) and the bytes as a block.
#include "FileVersionInfo.h"
#include "RunTimeError.h"
#include "VersionResource.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
// A file in memory, named through /proc, so that nothing is left on disk.
struct MemoryFile
{
    MemoryFile() : fd(::memfd_create("tally-version-fuzz", MFD_CLOEXEC))
    {
        if (fd < 0) {
            std::perror("memfd_create");
            std::abort();
        }
        path = u"/proc/self/fd/"_s + QString::number(fd);
    }

    void replace(const uint8_t* data, size_t size) const
    {
        if (::ftruncate(fd, 0) != 0 || (size > 0 && ::pwrite(fd, data, size, 0) != ssize_t(size))) {
            std::perror("memory file");
            std::abort();
        }
    }

    int fd;
    QString path;
};

const QStringList Names = {u"FileVersion"_s, u"ProductName"_s, u"CompanyName"_s, u"FileDescription"_s};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const MemoryFile file;
    file.replace(data, size);

    clsFileVersionInfo info;
    try {
        info.setFileName(file.path);
        for (const QString& name : Names)
            info.GetValue(name);
    } catch (const RunTimeError&) {
    }

    const QByteArray block(reinterpret_cast<const char*>(data), qsizetype(size));
    QByteArray value;
    VersionResource::queryValue(block, u"\\"_s, value);
    VersionResource::queryValue(block, u"\\VarFileInfo\\Translation"_s, value);
    for (const QString& name : Names)
        VersionResource::queryValue(block, u"\\StringFileInfo\\040904E4\\"_s + name, value);
    return 0;
}
