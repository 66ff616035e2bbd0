// Reading a style file into the model.
#pragma once

#include <string>

#include "model/style_model.h"

namespace vambrio {

// Reads the file at path into StyleData (FileSize, a fresh zeroed OutData).
// False ("failed") when there is no such regular file or it cannot be read.
[[nodiscard]] bool LoadStyleBytes(StyleModel& m, const std::string& path);

}  // namespace vambrio
