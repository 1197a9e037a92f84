// What a pass over a site keeps for its life, for every source it scans: the contents of the included files
// read, the records of what reading them made (lang/frontend/include_memo.h), the directories and files
// their names led to.  vorn-tovik makes one for its run and hands it to its source scan; a scan made without
// one reads every included file again, entering its directory (vorn, and tests that rewrite files between
// parses).
#pragma once

#include "lang/frontend/include_levels.h"
#include "lang/frontend/include_memo.h"
#include "lang/frontend/source_text.h"

struct Site_cache {
    Source_cache contents;
    Include_records records;
    Named_dirs names;
};
