#include "platform/DefaultProgram.h"

bool hasDefaultProgramFor(const std::string&)
{
    return true;
}
