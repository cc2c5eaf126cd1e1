#pragma once

namespace app
{
const char* Version();
}
