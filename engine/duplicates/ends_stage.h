#pragma once
// The first stage: files of one size compare a quick hash of their first and last
// 64 KiB, or of all of them when they are small. Most files of a shared size already
// differ there, after little is read.

#include "engine/duplicates/key_stage.h"

namespace tarnwick {

extern const StageRule kEndsStage;

}  // namespace tarnwick
