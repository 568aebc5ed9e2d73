#pragma once
// The last stage when the digest cache is in use: files that agree with another to the
// end are given their SHA-256 (content_digest.h), which decides the groups and is kept
// for later jobs.

#include "engine/duplicates/key_stage.h"

namespace tarnwick {

extern const StageRule kDigestStage;

}  // namespace tarnwick
