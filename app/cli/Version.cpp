#include "app/cli/Version.h"

namespace app
{
const char* Version()
{
    return TALLY_VERSION;
}
} // namespace app
