#include "platform/FileCallFaults.h"

FileCallFaults& fileCallFaults()
{
    static FileCallFaults faults;
    return faults;
}
