// The plug-in's resource module: its dialog templates and manifest.
#pragma once

#include "host/ui/DialogTemplate.h"

ResourceModule& TallyResources();
