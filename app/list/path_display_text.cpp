#include "app/list/path_display_text.h"

#include "text/path_display.h"

namespace tarnwick {

QString PathDisplayText(std::string_view bytes) {
  const std::string shown = PathDisplayUtf8(bytes);
  return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

}  // namespace tarnwick
