// The study file: a TOML document naming the units and one or more sweeps.
//
//   [units]
//   length = "mm"          # or "in"
//   temperature = "K"      # or "F", "C"
//   flow = "SLPM"          # or "SCFH"
//
//   [[sweep]]
//   gas = [1, 5]                                  # gas codes, or "all"
//   diameter = 8.0                                # one value, a list, or "all"
//   length = "all"                                # what the input dialog offers
//   current = { from = 500, to = 900, step = 50 } # a range, ends included
//   flow = [35, 50, 65]
#pragma once

#include <string>

#include "study/study_plan.h"

namespace torvex {

// Reads and checks a study file. On a fault returns false with `error`
// naming the file (as given) and what is wrong, with its line where known.
bool readStudyFile(const std::string& path, StudyDefinition& definition, std::string& error);

// The same from text already read; `name` stands for the file in messages.
bool parseStudyText(const std::string& text, const std::string& name, StudyDefinition& definition,
                    std::string& error);

}  // namespace torvex
