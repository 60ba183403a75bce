// The powder and injection last chosen in a folder, kept in kavel.dat there,
// so that the powder dialog opens with them at the next start instead of the
// defaults.
#pragma once

#include <string>

#include "particles/particle_model.h"

namespace torvex::kavel {

constexpr const char* kPowderMemoryFile = "kavel.dat";

// The file's text: one "key value" line per option, lengths in mm.
std::string powderMemoryText(const particles::SprayOptions& options);

// Reads dir/kavel.dat over `options`. True when the file is absent (nothing
// changed) or read; false with `error` naming the file and the line when it
// cannot be read or a line is not understood (`options` then unchanged).
// Options missing from the file (one written by an older Kavel) keep the
// values `options` has.
bool readPowderMemory(const std::string& dir, particles::SprayOptions& options, std::string& error);

// Replaces dir/kavel.dat; false with `error` naming the file and the fault.
bool writePowderMemory(const std::string& dir, const particles::SprayOptions& options, std::string& error);

}  // namespace torvex::kavel
