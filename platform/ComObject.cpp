// SPDX-License-Identifier: MIT
#include "ComObject.h"

ComObject::~ComObject() = default;

void* ComObject::FindConnectionPoint(const Guid&)
{
    return nullptr;
}
