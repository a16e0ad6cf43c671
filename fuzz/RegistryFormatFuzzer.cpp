// SPDX-License-Identifier: MIT
// The registry text format: whatever it reads, it writes back as the same content, writing that
// again gives the same text, and the text written grows no faster than the text read.
#include "RegistryFileFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {
[[noreturn]] void fault(const char* what, const QByteArray& written)
{
    std::fprintf(stderr, "registry format: %s; written:\n%s\n", what, written.constData());
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<RegistryContent> read = RegistryFileFormat::parse(text);
    if (!read)
        return 0;
    const QByteArray written = RegistryFileFormat::serialise(*read);
    // An escape (\xHH, %HH) is at most four bytes for one; a line gains a few bytes of form.
    if (written.size() > 4 * text.size() + 64)
        fault("the text grew beyond its own size", written);
    QString error;
    const std::optional<RegistryContent> again = RegistryFileFormat::parse(written, &error);
    if (!again)
        fault(qPrintable(u"what it wrote does not read: "_s + error), written);
    if (!(*again == *read))
        fault("what it wrote reads as other content", written);
    if (RegistryFileFormat::serialise(*again) != written)
        fault("writing again gives another text", written);
    return 0;
}
