// SPDX-License-Identifier: MIT
#pragma once

#include "VersionBlockFormat.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <cstring>
#include <elf.h>

// Builds small ELF64 files for the tests of the version block reader: an ELF header, the given
// sections, a section-name table and the section header table, nothing else; and the version
// blocks to put in them.
namespace ElfTestImage {

struct Section
{
    QByteArray name;
    QByteArray data;
    Elf64_Word type = SHT_PROGBITS;
};

inline QByteArray build(const QList<Section>& sections)
{
    QByteArray names(1, '\0');
    QList<Elf64_Word> nameOffsets;
    for (const Section& section : sections) {
        nameOffsets.append(Elf64_Word(names.size()));
        names += section.name + '\0';
    }
    const auto namesName = Elf64_Word(names.size());
    names += QByteArrayLiteral(".shstrtab") + '\0';

    QByteArray image(sizeof(Elf64_Ehdr), '\0');
    QList<Elf64_Shdr> headers(1, Elf64_Shdr{});
    const auto addSection = [&](Elf64_Word name, Elf64_Word type, const QByteArray& data) {
        Elf64_Shdr header{};
        header.sh_name = name;
        header.sh_type = type;
        header.sh_offset = Elf64_Off(image.size());
        header.sh_size = Elf64_Xword(data.size());
        header.sh_addralign = 1;
        if (type != SHT_NOBITS)
            image += data;
        headers.append(header);
    };
    for (qsizetype i = 0; i < sections.size(); ++i)
        addSection(nameOffsets[i], sections[i].type, sections[i].data);
    addSection(namesName, SHT_STRTAB, names);
    while (image.size() % 8 != 0)
        image += '\0';

    Elf64_Ehdr header{};
    std::memcpy(header.e_ident, ELFMAG, SELFMAG);
    header.e_ident[EI_CLASS] = ELFCLASS64;
    header.e_ident[EI_DATA] = ELFDATA2LSB;
    header.e_ident[EI_VERSION] = EV_CURRENT;
    header.e_type = ET_DYN;
    header.e_machine = EM_X86_64;
    header.e_version = EV_CURRENT;
    header.e_ehsize = sizeof(Elf64_Ehdr);
    header.e_shoff = Elf64_Off(image.size());
    header.e_shentsize = sizeof(Elf64_Shdr);
    header.e_shnum = Elf64_Half(headers.size());
    header.e_shstrndx = Elf64_Half(headers.size() - 1);
    std::memcpy(image.data(), &header, sizeof header);
    for (const Elf64_Shdr& section : headers)
        image.append(reinterpret_cast<const char*>(&section), sizeof section);
    return image;
}

inline Elf64_Ehdr header(const QByteArray& image)
{
    Elf64_Ehdr result{};
    // Byte by byte: a plain copy makes GCC warn about the shared empty array it cannot rule out.
    auto* bytes = reinterpret_cast<char*>(&result);
    for (qsizetype i = 0; i < qsizetype(sizeof result) && i < image.size(); ++i)
        bytes[i] = image.at(i);
    return result;
}

inline void setHeader(QByteArray& image, const Elf64_Ehdr& value)
{
    if (image.size() >= qsizetype(sizeof value))
        std::memcpy(image.data(), &value, sizeof value);
}

// The section header at index; the image must be one that build() made.
inline Elf64_Shdr section(const QByteArray& image, int index)
{
    Elf64_Shdr result{};
    const auto at = qsizetype(header(image).e_shoff + index * sizeof(Elf64_Shdr));
    if (at + qsizetype(sizeof result) <= image.size())
        std::memcpy(&result, image.constData() + at, sizeof result);
    return result;
}

inline void setSection(QByteArray& image, int index, const Elf64_Shdr& value)
{
    const auto at = qsizetype(header(image).e_shoff + index * sizeof(Elf64_Shdr));
    if (at + qsizetype(sizeof value) <= image.size())
        std::memcpy(image.data() + at, &value, sizeof value);
}

// The bytes of a version block, for an image's version section.
inline QByteArray encodeBlock(const VersionBlockFormat::Block& block)
{
    QByteArray bytes(qsizetype(VersionBlockFormat::encodedSize(block)), '\0');
    VersionBlockFormat::encode(block, reinterpret_cast<unsigned char*>(bytes.data()));
    return bytes;
}

// Overwrites the size that a version block declares in its header.
inline void setDeclaredSize(QByteArray& block, uint32_t size)
{
    std::memcpy(block.data() + 12, &size, sizeof size);
}

inline bool write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace ElfTestImage
