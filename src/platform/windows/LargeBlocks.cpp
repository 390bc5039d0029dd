#include "platform/LargeBlocks.h"

void returnLargeBlocksToTheSystem()
{
    // The process heap already gives blocks this large straight to the
    // system and back.
}
