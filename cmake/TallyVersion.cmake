# SPDX-License-Identifier: MIT
# Version information compiled into each deliverable, readable by file path (filled in with the
# version reader; until then this is a no-op so targets can already call it).
function(tally_embed_version target)
endfunction()
