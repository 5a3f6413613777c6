// linkora's verbs, in the order --help lists them. A new verb is one unit in
// this folder with a Make...Verb function, declared here and listed in
// verbs.cpp.
#pragma once

#include <memory>
#include <vector>

#include "cli/command_line/verb.h"

namespace tolm::linkora {

std::unique_ptr<Verb> MakeScanVerb();
std::unique_ptr<Verb> MakeSetVerb();
std::unique_ptr<Verb> MakeWatchVerb();
std::unique_ptr<Verb> MakeAdaptersVerb();
std::unique_ptr<Verb> MakeCheckVerb();
std::unique_ptr<Verb> MakeDoctorVerb();
std::unique_ptr<Verb> MakeApplyVerb();
std::unique_ptr<Verb> MakePlanVerb();
std::unique_ptr<Verb> MakeAssignVerb();

std::vector<std::unique_ptr<Verb>> AllVerbs();

}  // namespace tolm::linkora
