// SPDX-License-Identifier: MIT
#include "VersionResource.h"

#include "UniqueFd.h"
#include "VersionBlockFormat.h"

#include <QFile>

#include <algorithm>
#include <bit>
#include <cstring>
#include <elf.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Blocks are a few hundred bytes; anything far larger is a damaged or foreign section.
constexpr uint64_t MaxBlockSize = 64 * 1024;
// Section names we compare against are short; bound the scan through the name table.
constexpr uint64_t MaxSectionNameLength = 256;

constexpr unsigned char HostData = std::endian::native == std::endian::little ? ELFDATA2LSB : ELFDATA2MSB;

class ReadOnlyFile
{
public:
    // Non-blocking so that a FIFO given as path cannot hang us; only regular files are read.
    explicit ReadOnlyFile(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC))
    {
        struct stat st
        {};
        if (m_fd.isValid() && ::fstat(m_fd.get(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
            m_size = static_cast<uint64_t>(st.st_size);
    }

    uint64_t size() const { return m_size; }

    // True when [offset, offset + length) lies inside the file.
    bool contains(uint64_t offset, uint64_t length) const { return offset <= m_size && length <= m_size - offset; }

    bool readAt(uint64_t offset, void* out, size_t length) const
    {
        if (!contains(offset, length))
            return false;
        auto* bytes = static_cast<char*>(out);
        size_t done = 0;
        while (done < length) {
            const ssize_t got = ::pread(m_fd.get(), bytes + done, length - done, static_cast<off_t>(offset + done));
            if (got <= 0)
                return false; // error, or the file shrank under us
            done += static_cast<size_t>(got);
        }
        return true;
    }

private:
    UniqueFd m_fd;
    uint64_t m_size = 0;
};

std::optional<Elf64_Shdr> sectionHeader(const ReadOnlyFile& file, const Elf64_Ehdr& header, uint64_t index)
{
    Elf64_Shdr section{};
    if (!file.readAt(header.e_shoff + index * header.e_shentsize, &section, sizeof section))
        return std::nullopt;
    return section;
}

// Where the named section's bytes lie in the file: {offset, size}.
std::optional<std::pair<uint64_t, uint64_t>> findSection(const ReadOnlyFile& file, const char* wanted)
{
    Elf64_Ehdr header{};
    if (!file.readAt(0, &header, sizeof header))
        return std::nullopt;
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64 ||
        header.e_ident[EI_DATA] != HostData)
        return std::nullopt;
    if (header.e_shoff == 0 || header.e_shentsize < sizeof(Elf64_Shdr))
        return std::nullopt;

    // Files with very many sections keep the real count and name-table index in section 0.
    uint64_t count = header.e_shnum;
    uint64_t namesIndex = header.e_shstrndx;
    if (count == 0 || namesIndex == SHN_XINDEX) {
        const auto first = sectionHeader(file, header, 0);
        if (!first)
            return std::nullopt;
        if (count == 0)
            count = first->sh_size;
        if (namesIndex == SHN_XINDEX)
            namesIndex = first->sh_link;
    }
    // The whole table must lie inside the file; this also bounds count by the file size.
    if (count == 0 || header.e_shoff > file.size() || count > (file.size() - header.e_shoff) / header.e_shentsize)
        return std::nullopt;
    if (namesIndex == SHN_UNDEF || namesIndex >= count)
        return std::nullopt;

    const auto names = sectionHeader(file, header, namesIndex);
    if (!names || names->sh_type != SHT_STRTAB || !file.contains(names->sh_offset, names->sh_size))
        return std::nullopt;

    const size_t wantedLength = std::strlen(wanted);
    if (wantedLength + 1 > MaxSectionNameLength)
        return std::nullopt;
    for (uint64_t i = 1; i < count; ++i) {
        const auto section = sectionHeader(file, header, i);
        if (!section)
            return std::nullopt;
        // The name plus its NUL must lie inside the name table.
        if (section->sh_name >= names->sh_size || names->sh_size - section->sh_name < wantedLength + 1)
            continue;
        char name[MaxSectionNameLength]{};
        if (!file.readAt(names->sh_offset + section->sh_name, name, wantedLength + 1))
            return std::nullopt;
        if (std::memcmp(name, wanted, wantedLength + 1) != 0)
            continue;
        if (section->sh_type == SHT_NOBITS || !file.contains(section->sh_offset, section->sh_size))
            return std::nullopt;
        return std::pair{section->sh_offset, section->sh_size};
    }
    return std::nullopt;
}

uint32_t readLe32(const unsigned char* bytes)
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

// The block's declared size when the section holds a valid header; 0 otherwise.
uint32_t blockSize(const ReadOnlyFile& file, uint64_t offset, uint64_t sectionSize)
{
    unsigned char head[VersionBlockFormat::HeaderSize];
    if (sectionSize < sizeof head || !file.readAt(offset, head, sizeof head))
        return 0;
    if (std::memcmp(head, VersionBlockFormat::Magic, sizeof VersionBlockFormat::Magic) != 0 ||
        readLe32(head + 8) != VersionBlockFormat::Format)
        return 0;
    const uint32_t size = readLe32(head + 12);
    if (size < VersionBlockFormat::HeaderSize || size > sectionSize || size > MaxBlockSize)
        return 0;
    return size;
}

bool readBlock(const QString& path, QByteArray* block, uint32_t& size)
{
    size = 0;
    const ReadOnlyFile file(path);
    if (file.size() == 0)
        return false;
    const auto section = findSection(file, VersionBlockFormat::SectionName);
    if (!section)
        return false;
    size = blockSize(file, section->first, section->second);
    if (size == 0)
        return false;
    if (block) {
        block->resize(size);
        if (!file.readAt(section->first, block->data(), size)) {
            block->clear();
            size = 0;
            return false;
        }
    }
    return true;
}

// The block's own declared size, clamped to what is really there.
qsizetype usableSize(const QByteArray& block)
{
    if (block.size() < qsizetype(VersionBlockFormat::HeaderSize) ||
        std::memcmp(block.constData(), VersionBlockFormat::Magic, sizeof VersionBlockFormat::Magic) != 0)
        return 0;
    const uint32_t declared = readLe32(reinterpret_cast<const unsigned char*>(block.constData()) + 12);
    return std::min<qsizetype>(declared, block.size());
}

bool queryString(const QByteArray& block, qsizetype size, const QString& key, const QString& name, QByteArray& value)
{
    using namespace VersionBlockFormat;
    if (size < qsizetype(StringsOffset))
        return false;
    const QString tableKey = QString::fromLatin1(block.constData() + TableKeyOffset, TableKeySize);
    if (tableKey.compare(key, Qt::CaseInsensitive) != 0)
        return false;
    qsizetype at = StringsOffset;
    // Each text must end with a NUL inside the block; a missing one ends the table.
    const auto nextText = [&](QByteArray& text) {
        const qsizetype end = block.indexOf('\0', at);
        if (end < 0 || end >= size)
            return false;
        text = block.mid(at, end - at);
        at = end + 1;
        return true;
    };
    QByteArray entryName;
    QByteArray entryValue;
    while (nextText(entryName) && !entryName.isEmpty()) {
        if (!nextText(entryValue))
            return false;
        if (QString::fromUtf8(entryName).compare(name, Qt::CaseInsensitive) == 0) {
            value = entryValue;
            value.append('\0');
            return true;
        }
    }
    return false;
}

} // namespace

namespace VersionResource {

uint32_t infoSize(const QString& path)
{
    uint32_t size = 0;
    readBlock(path, nullptr, size);
    return size;
}

bool readInfo(const QString& path, QByteArray& block)
{
    block.clear();
    uint32_t size = 0;
    return readBlock(path, &block, size);
}

bool queryValue(const QByteArray& block, const QString& subBlock, QByteArray& value)
{
    using namespace VersionBlockFormat;
    value.clear();
    const qsizetype size = usableSize(block);
    if (size == 0)
        return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(block.constData());

    if (subBlock == u"\\") {
        if (size < qsizetype(FixedOffset + FixedSize))
            return false;
        const FixedVersionInfo fixed{readLe32(bytes + FixedOffset), readLe32(bytes + FixedOffset + 4),
                                     readLe32(bytes + FixedOffset + 8), readLe32(bytes + FixedOffset + 12)};
        value = QByteArray(reinterpret_cast<const char*>(&fixed), sizeof fixed);
        return true;
    }
    if (subBlock.compare(u"\\VarFileInfo\\Translation", Qt::CaseInsensitive) == 0) {
        if (size < qsizetype(TranslationOffset + TranslationSize))
            return false;
        value = block.mid(TranslationOffset, TranslationSize);
        return true;
    }
    const QString prefix = u"\\StringFileInfo\\"_s;
    if (!subBlock.startsWith(prefix, Qt::CaseInsensitive))
        return false;
    const QString rest = subBlock.mid(prefix.size());
    const qsizetype slash = rest.indexOf(u'\\');
    if (slash < 0)
        return false;
    return queryString(block, size, rest.left(slash), rest.mid(slash + 1), value);
}

} // namespace VersionResource
