#pragma once
// The second stage, for big files whose ends agree with another's: a quick hash of the
// whole content, so that files that differ only in the middle are read once at the
// speed of the quick hash rather than that of SHA-256.

#include "engine/duplicates/key_stage.h"

namespace tarnwick {

extern const StageRule kWholeStage;

}  // namespace tarnwick
