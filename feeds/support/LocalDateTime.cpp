// SPDX-License-Identifier: MIT
#include "LocalDateTime.h"
