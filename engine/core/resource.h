// Resource identifiers and the name-keyed caches of loaded assets.
#pragma once

#include "engine/core/resource/resource_cache.h"
#include "engine/core/resource/resource_id.h"
