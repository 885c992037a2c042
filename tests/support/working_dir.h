#pragma once

#include <filesystem>

#include "tests/support/temp_dir.h"

namespace grumbol::testing {

// A fresh folder that is the working directory while this lives; the previous one comes back
// before the folder is removed.
class WorkingDir : public TempDir {
 public:
  WorkingDir() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(path());
  }
  ~WorkingDir() { std::filesystem::current_path(previous_); }

 private:
  std::filesystem::path previous_;
};

}  // namespace grumbol::testing
