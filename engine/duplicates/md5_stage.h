#pragma once
// The last stage: files that agree with another to the end are given their MD5 key
// (md5_key.h), which alone decides the groups.

#include "engine/duplicates/key_stage.h"

namespace tarnwick {

extern const StageRule kMd5Stage;

}  // namespace tarnwick
