#include "cli/verbs/verbs.h"

namespace tolm::linkora {

std::vector<std::unique_ptr<Verb>> AllVerbs() {
    std::vector<std::unique_ptr<Verb>> verbs;
    verbs.push_back(MakeScanVerb());
    verbs.push_back(MakeSetVerb());
    verbs.push_back(MakeWatchVerb());
    verbs.push_back(MakeAdaptersVerb());
    verbs.push_back(MakeCheckVerb());
    verbs.push_back(MakeDoctorVerb());
    verbs.push_back(MakeApplyVerb());
    verbs.push_back(MakePlanVerb());
    verbs.push_back(MakeAssignVerb());
    return verbs;
}

}  // namespace tolm::linkora
