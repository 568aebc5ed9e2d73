#include "engine/duplicates/key_stage.h"

#include "engine/duplicates/digest_stage.h"
#include "engine/duplicates/ends_stage.h"
#include "engine/duplicates/whole_stage.h"

namespace tarnwick {

const StageRule& RuleOf(Stage stage) {
  switch (stage) {
    case Stage::Ends:
      return kEndsStage;
    case Stage::Whole:
      return kWholeStage;
    case Stage::Digest:
      break;
  }
  return kDigestStage;
}

}  // namespace tarnwick
