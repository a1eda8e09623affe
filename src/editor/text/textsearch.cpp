#include "editor/text/textsearch.h"

namespace TextSearch {
} // namespace TextSearch
