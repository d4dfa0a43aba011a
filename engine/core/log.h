// Logging: named channels, lines written through LogLine, outputs attached by pattern.
#pragma once

#include "engine/core/log/channels.h"
#include "engine/core/log/log_line.h"
#include "engine/core/log/log_manager.h"
#include "engine/core/log/log_pattern.h"
#include "engine/core/log/logger.h"
#include "engine/core/log/outputs.h"
