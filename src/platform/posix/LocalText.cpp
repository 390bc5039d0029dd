#include "platform/LocalText.h"

bool textFromLocalCodePage(const std::string&, bool, std::string&)
{
    return false;
}
